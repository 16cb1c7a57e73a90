#include "param/PageFiles.h"

#include "param/FileCompatibility.h"
#include "param/LimitedTextFile.h"
#include "param/PageHost.h"
#include "param/PageMode.h"
#include "param/ParameterPage.h"
#include "platform/AtomicFile.h"
#include "platform/UserPrompt.h"
#include "tables/DriveModelTable.h"
#include "texts/LoadText.h"

namespace {

constexpr int kPhase = kParameterCount;  // progress steps of each of the four phases

bool writePage(const ParameterPage& page, const std::string& path)
{
    std::string text;
    if (!FormatPage(page, text)) {
        platform::showError(LoadText(1113));
        return false;
    }
    if (!platform::writeFileAtomically(path, text)) {
        platform::showError("4.Open File Error !");
        return false;
    }
    return true;
}

std::string withExtension(const std::string& path, const std::string& extension)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return path;
    return path + "." + extension;
}

}  // namespace

bool ReadFileForPage(const ParameterPage& page, const std::string& path, ParameterFileContent& content)
{
    std::string text;
    const TextFileStatus status = ReadLimitedTextFile(path, text);
    if (status == TextFileStatus::Missing || status == TextFileStatus::Unreadable) {
        platform::showError("7.Open File Error !");
        return false;
    }
    if (status != TextFileStatus::Ok) {
        platform::showError(TextFileProblemText(status, path));
        return false;
    }
    const ParameterFileParse parse = ParseParameterFile(text, content);
    if (!parse.ok()) {
        platform::showError(ParameterFileProblemText(parse, path));
        return false;
    }
    if (!content.namesModel)
        return true;  // a file without its model line is taken as it is
    const ModelCodeClass file = ClassifyModelCode(content.modelName);
    const DriveType& drive = page.drive();
    switch (CheckFileModel(drive.family, drive.group(), file.family, file.group)) {
    case FileVerdict::Accept:
        return true;
    case FileVerdict::Refuse:
        platform::showWarning(IncompatibleFileText(content.modelName, page.modelName()), LoadText(306));
        return false;
    case FileVerdict::Convert:
        break;
    }
    ParameterValues converted = content.values;
    ConvertFileValues(converted, file.group);
    for (int p = 0; p < kParameterCount; ++p) {
        if (!FitsRegister(converted[p])) {
            platform::showError(path + LoadText(1114) + ParameterHex(p) + LoadText(1115));
            return false;
        }
    }
    platform::showWarning(ConversionWarningText(content.modelName, page.modelName()), LoadText(306));
    content.values = converted;
    return true;
}

bool LoadPageFile(ParameterPage& page, const std::string& path, LoadSource source, LoadColumns columns,
                  PageHost& host)
{
    platform::WaitCursor wait;
    host.setProgressRange(0, 4 * kPhase);
    ParameterFileContent content;
    if (!ReadFileForPage(page, path, content)) {
        host.setProgress(0);
        return false;
    }

    bool corrected = false;
    if (source != LoadSource::SystemInit && page.visible(kModelCodeParameter) && columns.values) {
        const ModelCodeClass file =
            content.namesModel ? ClassifyModelCode(content.modelName) : ModelCodeClass();
        uint16_t pr1F = static_cast<uint16_t>(content.values[kModelCodeParameter]);
        if (CheckPr1F(pr1F, file.family, file.group, page.environment().repairPr1F)) {
            content.values[kModelCodeParameter] = static_cast<int16_t>(pr1F);
            corrected = true;
        }
    }

    for (int p = 0; p < kParameterCount; ++p) {
        const int index = page.rowOf(p);
        if (index < 0 || !columns.values)
            continue;
        PageRow& row = page.row(index);
        row.value = content.values[p];
        row.hasValue = true;
        host.valueChanged(index);
        host.setProgress(p + 1);
        host.setStatus(ParameterHex(p) + " " + LoadText(312));
    }
    const bool texts = columns.definitions || columns.ranges || columns.units;
    for (int p = 0; p < kParameterCount && texts; ++p) {
        const int index = page.rowOf(p);
        if (index < 0)
            continue;
        PageRow& row = page.row(index);
        if (columns.definitions)
            row.definition = content.definitions[p];
        if (columns.ranges)
            row.range = content.ranges[p];
        if (columns.units)
            row.unit = content.units[p];
    }
    if (texts) {
        host.setProgress(4 * kPhase);
        host.textsChanged();
    }

    if (corrected) {
        platform::showWarning(LoadText(601), LoadText(306));
        writePage(page, path);
    }
    host.setProgress(0);
    host.setStatus(LoadText(313));
    host.setStatus(path);
    return true;
}

bool FormatPage(const ParameterPage& page, std::string& text)
{
    std::array<ParameterFileLine, kParameterCount> lines;
    for (int p = 0; p < kParameterCount; ++p) {
        const int index = page.rowOf(p);
        if (index < 0)
            continue;
        const PageRow& row = page.row(index);
        ParameterFileLine& line = lines[p];
        line.shown = true;
        line.definition = row.definition;
        line.range = row.range;
        line.unit = row.unit;
        line.value = row.hasValue ? std::to_string(row.value) : std::string();
    }
    return FormatParameterFile(page.modelName(), lines, text);
}

bool SavePageFile(const ParameterPage& page, const std::string& path, PageHost& host)
{
    platform::WaitCursor wait;
    if (!writePage(page, path))
        return false;
    host.setStatus(LoadText(340));
    return true;
}

std::string AskLoadPath(const ParameterPage& page, bool systemInitFiles)
{
    platform::FileChoice choice;
    choice.caption = LoadText(331);
    choice.directory = page.environment().workingDirectory;
    choice.filter = systemInitFiles ? kSystemInitFilter : PageModeFilter(page.pageMode());
    return platform::userPrompt().openFileName(choice);
}

std::string AskSavePath(const ParameterPage& page)
{
    platform::FileChoice choice;
    choice.caption = "Save file";
    choice.filter = PageModeFilter(page.pageMode());
    choice.defaultName = PageModePattern(page.pageMode());
    const std::string path = platform::userPrompt().saveFileName(choice);
    return path.empty() ? path : withExtension(path, PageModeExtension(page.pageMode()));
}
