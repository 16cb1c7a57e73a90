#include "param/ParameterCompare.h"

#include "param/DriveParameterReader.h"
#include "param/ModelFiles.h"
#include "param/PageFiles.h"
#include "param/PageHost.h"
#include "param/ParameterPage.h"
#include "platform/UserPrompt.h"
#include "texts/LoadText.h"

ParameterCompare::ParameterCompare(const ParameterSet& shown) : shown_(shown) {}

void ParameterCompare::setColumn(int column, const ParameterValues& values, const std::string& origin)
{
    columns_.at(static_cast<size_t>(column)) = values;
    origins_.at(static_cast<size_t>(column)) = origin;
}

void ParameterCompare::clearColumn(int column)
{
    columns_.at(static_cast<size_t>(column)).reset();
    origins_.at(static_cast<size_t>(column)).clear();
}

bool ParameterCompare::hasColumn(int column) const
{
    return columns_.at(static_cast<size_t>(column)).has_value();
}

const std::string& ParameterCompare::origin(int column) const
{
    return origins_.at(static_cast<size_t>(column));
}

std::optional<int32_t> ParameterCompare::value(int column, int parameter) const
{
    const auto& values = columns_.at(static_cast<size_t>(column));
    if (!values || parameter < 0 || parameter >= kParameterCount)
        return std::nullopt;
    return (*values)[parameter];
}

void ParameterCompare::choose(int left, int right)
{
    if (left < 0 || right < 0 || left >= kCompareColumns || right >= kCompareColumns || left == right)
        return;
    left_ = left;
    right_ = right;
}

std::vector<CompareRow> ParameterCompare::rows() const
{
    std::vector<CompareRow> rows;
    for (int p = 0; p < kParameterCount; ++p) {
        if (!shown_.test(static_cast<size_t>(p)))
            continue;
        CompareRow row;
        row.parameter = p;
        row.left = value(left_, p);
        row.right = value(right_, p);
        row.differs = row.left && row.right && *row.left != *row.right;
        if (!onlyDifferences_ || row.differs)
            rows.push_back(row);
    }
    return rows;
}

int ParameterCompare::differenceCount() const
{
    int count = 0;
    for (int p = 0; p < kParameterCount; ++p) {
        const auto a = value(left_, p);
        const auto b = value(right_, p);
        count += shown_.test(static_cast<size_t>(p)) && a && b && *a != *b;
    }
    return count;
}

bool ReadCompareValuesFromDrive(ParameterValues& values)
{
    platform::WaitCursor wait;
    return ReadDriveParameters(values, nullptr);
}

bool ReadCompareValuesFromFile(const ParameterPage& page, const std::string& path, ParameterValues& values)
{
    ParameterFileContent content;
    if (!ReadFileForPage(page, path, content))
        return false;
    values = content.values;
    return true;
}

bool ReadFactoryValues(const ParameterPage& page, ParameterValues& values)
{
    const std::string path = SystemInitPath(page.environment().workingDirectory, page.drive());
    if (path.empty()) {
        platform::userPrompt().messageBox(kDriverTypeErrorText, "Error", platform::PromptButtons::Ok,
                                          platform::PromptIcon::Error);
        return false;
    }
    return ReadCompareValuesFromFile(page, path, values);
}

int CopyCompareColumnIntoPage(const ParameterCompare& compare, int column, const std::vector<int>& parameters,
                              ParameterPage& page, PageHost& host)
{
    int changed = 0;
    for (int p : parameters) {
        const int index = page.rowOf(p);
        const auto value = compare.value(column, p);
        if (index < 0 || !value)
            continue;
        PageRow& row = page.row(index);
        if (row.hasValue && row.value == *value)
            continue;
        row.value = *value;
        row.hasValue = true;
        host.valueChanged(index);
        ++changed;
    }
    host.setStatus(std::to_string(changed) + LoadText(1116));
    return changed;
}
