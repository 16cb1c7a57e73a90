#pragma once
// Value conversions of the parameter-value dialog: how a stored value is
// shown for a parameter, and how typed text becomes a value.

#include <cstdint>
#include <string>

// Parameters whose value is a signed 16-bit number (speeds and offsets).
bool IsSigned16Parameter(uint8_t parameter);
// The value as the edit box shows it: signed 16-bit for those parameters,
// the whole 32-bit value for the rest.
std::string ParameterValueText(uint8_t parameter, int32_t value);
// Two upper-case hexadecimal digits ("0A", "53").
std::string ParameterNumberText(uint8_t parameter);
// Leading blanks, optional sign, digits up to the first other character;
// no digits gives 0. Values beyond 32 bits saturate instead of wrapping.
int32_t ParseLeadingDecimal(const std::string& text);

// The dialog's in and out values, set by the caller before it opens.
struct ParameterDialogIo {
    uint8_t parameter = 0;
    std::string definition;
    int32_t currentValue = 0;
    int32_t newValue = 0;
    uint16_t newValue16 = 0;
    int cancelled = 0;
};
ParameterDialogIo& ParameterDialogExchange();
