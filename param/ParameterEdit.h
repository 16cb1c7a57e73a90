#pragma once
// Editing one parameter of the page: the locks (older firmware, unused,
// real-time auto tuning), the value question, the range check, and on line
// the write with its read-back.

class PageHost;
class ParameterPage;

enum class EditResult {
    NotEditable,     // no row, or an empty value cell
    FirmwareLocked,  // Pr.4E, 4F, 74 on older firmware
    Unused,
    AutoTuningLocked,
    Cancelled,
    SameValue,
    OutOfRange,
    Applied,         // off line: the page only
    Written,         // on line: written and read back equal
    ReadBackFailed,  // the old value is shown again
    ReadBackDiffers  // the drive's value is shown
};

EditResult EditParameter(ParameterPage& page, int rowIndex, PageHost& host);
