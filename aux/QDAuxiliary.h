#pragma once
// The exported interface of QDAuxiliary: the time-out and language-table
// classes, and plain helpers with C linkage (undecorated names) for settings
// values, initialisation-file integers and elapsed-time conversion.
//
// An HKEY here is the path of a sub-key in the per-user settings store
// (platform/SettingsStore.h), e.g. "Waypad\\Settings"; null is an invalid
// handle. Status results keep the classic error numbers, since callers
// compare against them.

#include "QDAuxiliaryExport.h"

#include "CStringResource.h"
#include "CTimeOut.h"

#include <cstdint>

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef int32_t LONG;
typedef int BOOL;
typedef const char* HKEY;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;    // no such sub-key or value
constexpr LONG ERROR_INVALID_HANDLE = 6;    // null key
constexpr LONG ERROR_WRITE_FAULT = 29;      // the store could not be written
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;       // the text does not fit the buffer
constexpr LONG ERROR_UNSUPPORTED_TYPE = 1630;  // a number asked for as text, or the reverse

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

extern "C" {

// *value receives the stored number, or `defaultValue` on any failure.
QDAUX_API LONG RegGetdwValue(HKEY key, const char* valueName, DWORD* value, DWORD defaultValue);
QDAUX_API LONG RegSetdwValue(HKEY key, const char* valueName, DWORD value);
// Bytes of the longest value under the key (4 for a number, text plus its
// terminating zero for a string); 0 when the key cannot be queried.
QDAUX_API DWORD RegMaxValueLen(HKEY key);
// Queries the text into the zeroed work buffer, copies at most
// `destinationLength` characters to `destination` as strncpy does (no
// terminating zero when the text fills it), then zeroes the work buffer.
// The copy is made also when the query fails (the destination then gets
// an empty text). A text that does not fit the work buffer with its zero
// gives ERROR_MORE_DATA and nothing of it.
QDAUX_API LONG RegGetszValue(HKEY key, char* destination, const char* valueName,
                             int destinationLength, char* workBuffer, DWORD workBufferSize);
// Writes the value in signed decimal ("-5") as the key's text.
QDAUX_API BOOL WritePrivateProfileInt(const char* section, const char* key, int value,
                                      const char* file);
// Fills the clock fields from a millisecond count; date fields are 0. Each
// quotient (ms, s, min, h) is cut to its low 16 bits before the modulo
// 1000/60/60/60, so hours wrap at 60. Always returns 0.
QDAUX_API int ElapsedTimeToSystemTime(unsigned long milliseconds, SYSTEMTIME* time);

}  // extern "C"
