#pragma once
// Whole-file reads, and writes that never leave a half-written file: the
// bytes go to a temporary name in the same folder and are renamed into place.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class FileReadResult { Ok, Missing, Failed };

// Reads the whole file as bytes. Missing: the file does not exist; Failed:
// it exists but cannot be read (a folder, no permission, an I/O error).
FileReadResult readWholeFile(const std::string& path, std::string& bytes);

// Length of the UTF-8 byte-order mark at the start of `text` (3), else 0.
// Some editors put one in front of a text file; it is no part of the first
// line, and readers that compare that line must skip it.
size_t utf8BomLength(std::string_view text);

// Replaces (or creates) the file with `bytes`. A symbolic link is followed,
// so the link stays and its target is replaced. An existing file keeps its
// permission bits. False when anything fails; the old file is then untouched
// and no temporary file is left behind.
bool writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace platform
