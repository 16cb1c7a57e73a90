#include "plugin/WaypadTexts.h"

namespace waypad {

const BuiltInStringTable& BuiltInTexts()
{
    static const BuiltInStringTable texts = {
        {kDocumentTypeText, "\nWaystation\nWaystation\n\n\nWaystation.Document\nWaystation Document"},
        {kActiveModeText, "Active control mode: "},
        {kPositionColumnText, "Position (pulse)"},
        {kSpeedColumnText, "Speed (rpm)"},
        {kWriteWarningText,
         "Please attention to the Speed of Point1~8 shared panel parameters Pr53 ~ Pr56 and "
         "Pr74 ~ Pr77,\nJog Speed/ Point Acc./Dec. shared Pr57 ~ Pr59 in Waystation "
         "mode(Pr02=6 or 7),\nPress [Yes] to continue. [No] to stop."},
        {kFileUnreadableText, "The file %s cannot be read."},
        {kFileNotPointTableText, "The file %s is not a point table file."},
        {kFileBadValueText, "The file %s is damaged: %s does not hold a whole number."},
        {kFileCutShortText, "The file %s is cut short: its last line is incomplete."},
        {kFileMissingKeyText, "The file %s is incomplete: %s is missing."},
        {kFileWriteFailedText, "The file %s cannot be written."},
    };
    return texts;
}

}  // namespace waypad
