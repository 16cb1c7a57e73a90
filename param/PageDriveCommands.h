#pragma once
// The parameter page's commands on the drive: read every parameter, send
// the page, commit the drive's RAM to EEPROM, reset the drive to factory
// values, and show its firmware version. Each asks what it must through the
// platform prompt and reports through the page's host; each returns its
// success.

#include <string>

class PageHost;
class ParameterPage;

// Fills the page's value cells from the drive (Pr.21's low byte is kept for
// the auto-tuning lock). With `readCommand` it pauses 5 ms per parameter of
// the second block, as the Read command shows its progress.
bool ReadAllParameters(ParameterPage& page, PageHost& host, bool readCommand = false);
// The Read command: checks the drive's model, then reads every parameter.
bool RefreshPageFromDrive(ParameterPage& page, PageHost& host);
// Sends every shown parameter, after a question and a strict model check.
bool TransferPage(ParameterPage& page, PageHost& host);
bool SavePageToEeprom(const ParameterPage& page, PageHost& host);
// Factory values, then (on success) reads the page again.
bool ResetDriveToFactory(ParameterPage& page, PageHost& host);
// Off line the model's firmware text; on line the start of the drive's
// identification answer, or "Get ID Fail!".
std::string FirmwareVersionText(const ParameterPage& page);
