#pragma once
// The plug-in's own texts by identifier (its built-in string table), looked
// up through the language table "Waystation.lng" first. Texts the program
// shows without an identifier stand as constants next to their users.

#include "aux/CStringResource.h"

namespace waypad {

// Identifiers of the built-in table.
enum TextId : unsigned {
    kDocumentTypeText = 201,   // the document-type string of the template
    kActiveModeText = 202,     // "Active control mode: "
    kPositionColumnText = 231,
    kSpeedColumnText = 232,
    kWriteWarningText = 233,   // asked before every write of all parameters
    // Point-table file messages ("%s" is the file path).
    kFileUnreadableText = 250,
    kFileNotPointTableText = 251,
    kFileBadValueText = 252,   // second "%s": section and key
    kFileCutShortText = 253,
    kFileMissingKeyText = 254,  // second "%s": section and key
    kFileWriteFailedText = 255,
};

// The built-in English texts of the plug-in.
const BuiltInStringTable& BuiltInTexts();

}  // namespace waypad
