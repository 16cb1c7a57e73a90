#include "param/LimitedTextFile.h"

#include "platform/AtomicFile.h"
#include "texts/LoadText.h"

size_t CharacterCount(const std::string& text)
{
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

bool HoldsBinaryBytes(const std::string& text)
{
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != 0x1E) || c == 0x7F)
            return true;
    return false;
}

TextFileStatus ReadLimitedTextFile(const std::string& path, std::string& text)
{
    text.clear();
    std::string bytes;
    switch (platform::readWholeFile(path, bytes)) {
    case platform::FileReadResult::Missing: return TextFileStatus::Missing;
    case platform::FileReadResult::Failed: return TextFileStatus::Unreadable;
    case platform::FileReadResult::Ok: break;
    }
    // Bytes bound characters from above: count them only when it can matter.
    if (bytes.size() > kMaxTextFileCharacters && CharacterCount(bytes) > kMaxTextFileCharacters)
        return TextFileStatus::TooLarge;
    if (HoldsBinaryBytes(bytes))
        return TextFileStatus::Binary;
    text = std::move(bytes);
    return TextFileStatus::Ok;
}

std::string TextFileProblemText(TextFileStatus status, const std::string& path)
{
    switch (status) {
    case TextFileStatus::Ok: return std::string();
    case TextFileStatus::Missing: return path + LoadText(1100);
    case TextFileStatus::Unreadable: return path + LoadText(1101);
    case TextFileStatus::TooLarge: return path + LoadText(1102);
    case TextFileStatus::Binary: return path + LoadText(1103);
    }
    return std::string();
}
