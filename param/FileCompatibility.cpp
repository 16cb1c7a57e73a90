#include "param/FileCompatibility.h"

#include "tables/DriveModelTable.h"
#include "texts/LoadText.h"

namespace {

// (file group, page group) pairs whose values convert.
constexpr int kConvertible[][2] = {{8, 11}, {9, 12}, {10, 13}};
constexpr int kFirstComparableVrGroup = 8;

std::string versionLines(const std::string& fileModel, const std::string& pageModel)
{
    return LoadText(306) + "!\n" + LoadText(361) + fileModel + "\n" + LoadText(362) + pageModel + "\n";
}

}  // namespace

FileVerdict CheckFileModel(int pageFamily, int pageGroup, int fileFamily, int fileGroup)
{
    if (pageFamily != FamilyVr) {
        // Equal group numbers of two families are different drives.
        return fileFamily == pageFamily && fileGroup == pageGroup ? FileVerdict::Accept : FileVerdict::Refuse;
    }
    if (pageGroup > fileGroup) {
        for (const auto& pair : kConvertible)
            if (fileFamily == FamilyVr && pair[0] == fileGroup && pair[1] == pageGroup)
                return FileVerdict::Convert;
        return FileVerdict::Refuse;
    }
    return fileGroup == pageGroup && fileGroup >= kFirstComparableVrGroup ? FileVerdict::Accept
                                                                          : FileVerdict::Refuse;
}

void ConvertFileValues(ParameterValues& v, int fileGroup)
{
    if (v[0x01] >= 10 && v[0x01] <= 12)
        v[0x01] += 1;
    if (v[0x1D] < 100)
        v[0x1D] = 100;
    v[kModelCodeParameter] = VrModel(fileGroup).pr1F;
    v[0x20] *= 2;
    for (int p : {0x21, 0x25, 0x2A, 0x2B, 0x70, 0x71})
        v[p] = 0;
    v[0x22] = 4;
    v[0x28] = 1600;
    v[0x5F] = 300;
    v[0x7B] = 50;
    v[0x7C] = 1;
}

std::string ConversionWarningText(const std::string& fileModel, const std::string& pageModel)
{
    return versionLines(fileModel, pageModel) + LoadText(363);
}

std::string IncompatibleFileText(const std::string& fileModel, const std::string& pageModel)
{
    return versionLines(fileModel, pageModel) + LoadText(364) + "\n\n" + LoadText(365) + fileModel + ".";
}
