// Text lookup: the language table first, then the built-in English texts.

#include "texts/LoadText.h"
#include "texts/LanguageFile.h"

#include <fstream>
#include <mutex>
#include <vector>

namespace {

struct LanguageTable {
    std::mutex mutex;  // the plug-in's worker may look texts up too
    std::vector<LanguageFile::Entry> entries;
};

LanguageTable& languageTable()
{
    static LanguageTable table;
    return table;
}

}  // namespace

bool LoadLanguageFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const bool opened = in.is_open();
    std::vector<LanguageFile::Entry> entries;
    if (opened)
        entries = LanguageFile::parse(in);
    auto& table = languageTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.entries = std::move(entries);
    return opened;
}

void ClearLanguageTable()
{
    auto& table = languageTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.entries.clear();
}

std::string LoadText(unsigned id)
{
    {
        auto& table = languageTable();
        std::lock_guard<std::mutex> lock(table.mutex);
        for (const auto& entry : table.entries) {
            if (entry.first != id)
                continue;
            // Only the first entry counts; an empty one falls back.
            if (!entry.second.empty())
                return entry.second;
            break;
        }
    }
    const auto& builtIn = BuiltInTexts();
    const auto found = builtIn.find(id);
    return found == builtIn.end() ? std::string() : found->second;
}
