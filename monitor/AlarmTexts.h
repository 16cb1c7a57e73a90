#pragma once
// The texts of the drive's alarm codes, as the alarm list shows them.

#include <string>

// Codes with a text table entry: 0 to 99.
constexpr int kAlarmTextCount = 100;

// " Err.<code>   " followed by the code's description where the drive
// documents one; code 0 is " No error occurs.". Codes of 100 and above (a
// drive may report any byte) show the number alone, like an undocumented one.
std::string AlarmText(int code);
