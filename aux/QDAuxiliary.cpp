#include "QDAuxiliary.h"

#include "platform/IniFile.h"
#include "platform/SettingsStore.h"

#include <cstring>

using platform::SettingsStore;

namespace {

LONG statusCode(SettingsStore::Status status) {
    switch (status) {
    case SettingsStore::Status::Ok: return ERROR_SUCCESS;
    case SettingsStore::Status::NotFound: return ERROR_FILE_NOT_FOUND;
    case SettingsStore::Status::WrongType: return ERROR_UNSUPPORTED_TYPE;
    case SettingsStore::Status::InvalidArgument: return ERROR_INVALID_PARAMETER;
    case SettingsStore::Status::WriteFailed: return ERROR_WRITE_FAULT;
    }
    return ERROR_INVALID_PARAMETER;
}

// A null value name is the key's default value, as the empty name is.
std::string nameOf(const char* valueName) { return valueName ? valueName : ""; }

// Queries a text value into `work`, which the caller has zeroed.
LONG queryText(HKEY key, const char* valueName, char* work, DWORD workSize) {
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    std::string text;
    const LONG status = statusCode(SettingsStore::readString(key, nameOf(valueName), text));
    if (status != ERROR_SUCCESS) return status;
    if (text.size() + 1 > workSize) return ERROR_MORE_DATA;
    std::memcpy(work, text.c_str(), text.size() + 1);
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

LONG RegGetdwValue(HKEY key, const char* valueName, DWORD* value, DWORD defaultValue) {
    if (value == nullptr) return ERROR_INVALID_PARAMETER;
    *value = defaultValue;
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    uint32_t stored = 0;
    const LONG status = statusCode(SettingsStore::readDword(key, nameOf(valueName), stored));
    if (status == ERROR_SUCCESS) *value = stored;
    return status;
}

LONG RegSetdwValue(HKEY key, const char* valueName, DWORD value) {
    if (key == nullptr) return ERROR_INVALID_HANDLE;
    return statusCode(SettingsStore::writeDword(key, nameOf(valueName), value));
}

DWORD RegMaxValueLen(HKEY key) {
    if (key == nullptr) return 0;
    uint32_t length = 0;
    return SettingsStore::maxValueLength(key, length) == SettingsStore::Status::Ok ? length : 0;
}

LONG RegGetszValue(HKEY key, char* destination, const char* valueName, int destinationLength,
                   char* workBuffer, DWORD workBufferSize) {
    if (destinationLength < 0) destinationLength = 0;
    if ((destination == nullptr && destinationLength > 0) ||
        (workBuffer == nullptr && workBufferSize > 0))
        return ERROR_INVALID_PARAMETER;
    // Zeroed first, so a failed query copies an empty text, not stale bytes.
    if (workBufferSize > 0) std::memset(workBuffer, 0, workBufferSize);
    const LONG status = queryText(key, valueName, workBuffer, workBufferSize);

    // strncpy, except that the source is never read past the work buffer.
    bool ended = false;
    for (int i = 0; i < destinationLength; ++i) {
        const char c = (!ended && static_cast<DWORD>(i) < workBufferSize) ? workBuffer[i] : '\0';
        ended = ended || c == '\0';
        destination[i] = c;
    }
    if (workBufferSize > 0) std::memset(workBuffer, 0, workBufferSize);
    return status;
}

BOOL WritePrivateProfileInt(const char* section, const char* key, int value, const char* file) {
    if (section == nullptr || key == nullptr || file == nullptr) return 0;
    return platform::IniFile::writeInt(file, section, key, value) ? 1 : 0;
}

int ElapsedTimeToSystemTime(unsigned long milliseconds, SYSTEMTIME* time) {
    if (time == nullptr) return 0;
    auto low16 = [](unsigned long v) { return static_cast<WORD>(v & 0xFFFFu); };
    time->wYear = 0;
    time->wMonth = 0;
    time->wDayOfWeek = 0;
    time->wDay = 0;
    time->wMilliseconds = static_cast<WORD>(low16(milliseconds) % 1000);
    time->wSecond = static_cast<WORD>(low16(milliseconds / 1000) % 60);
    time->wMinute = static_cast<WORD>(low16(milliseconds / 60000) % 60);
    time->wHour = static_cast<WORD>(low16(milliseconds / 3600000) % 60);
    return 0;
}

}  // extern "C"
