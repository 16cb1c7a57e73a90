#pragma once
// A module's user-interface texts by numeric identifier: first from a
// language file's [StringTable], else from the module's built-in strings.
// Also writes a language file from the built-in strings, as a template for
// translators.
//
// Language file: lines are read until one that is exactly "[StringTable]"
// (blanks around it allowed). Then each "id=text" line is an entry (text
// taken as it stands, "\t", "\r" and "\n" unescaped), lines starting with
// ';' are comments, lines without '=' or without a number before it are
// skipped, and the first line starting with '[' ends the table.

#include "QDAuxiliaryExport.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A module's built-in texts, by identifier.
using BuiltInStringTable = std::map<unsigned int, std::string>;

class QDAUX_API CStringResource {
public:
    // `module` points at the owner's pointer to its built-in table; it is
    // read at each use, so the owner may set the table after construction.
    explicit CStringResource(const BuiltInStringTable* const* module = nullptr);
    ~CStringResource();
    // A copy shares the table with the original (both see a later read).
    CStringResource(const CStringResource&);
    CStringResource& operator=(const CStringResource&);

    // 1 when the file was read (also when it has no string table: the table
    // is then empty); 0 when it cannot be read, the table left as it was.
    int ReadTableFile(const char* path);
    // The first table text for the identifier; when there is none or it is
    // empty, the built-in text; when neither, an empty string.
    std::string GetResString(unsigned int id) const;
    // Writes every non-empty built-in text with identifier up to `highest`
    // into section "StringTable" of the file, other sections kept. False
    // when the file cannot be written.
    bool CreateTableFile(const char* path, unsigned int highest) const;

private:
    struct Entry {
        unsigned int id;
        std::string text;
    };

    std::string builtIn(unsigned int id) const;

    const BuiltInStringTable* const* m_module;
    std::shared_ptr<std::vector<Entry>> m_table;
};
