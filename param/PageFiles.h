#pragma once
// Loading a file into the parameter page and saving the page as a file:
// parameter-set files of the page mode, the off-line start file, and the
// model's system-initialisation file. Loading checks the file's model
// against the page's (converting or refusing), and corrects a wrong Pr.1F
// in a file the user chose, writing the file back. A refused or malformed
// file leaves the page as it was.

#include "param/ParameterFileFormat.h"

#include <string>

class PageHost;
class ParameterPage;

enum class LoadSource {
    UserFile = 1,      // chosen with the Load command
    OfflineStart = 2,  // chosen before the page opened
    SystemInit = 3     // the model's .som
};

// Which of the page's columns a load fills.
struct LoadColumns {
    bool definitions = false;
    bool ranges = false;
    bool units = false;
    bool values = false;
    static LoadColumns all() { return {true, true, true, true}; }
    static LoadColumns valuesOnly() { return {false, false, false, true}; }
};

// A file's content as the page would take it: within the limits, well
// formed, of a model the page accepts (values converted when the file is of
// the older model). False after telling the user why.
bool ReadFileForPage(const ParameterPage& page, const std::string& path, ParameterFileContent& content);

bool LoadPageFile(ParameterPage& page, const std::string& path, LoadSource source, LoadColumns columns,
                  PageHost& host);
// The file text of the page; false when a text would break the format.
bool FormatPage(const ParameterPage& page, std::string& text);
// Writes the page to `path` through a temporary file, so a failed save
// leaves an old file whole. False after telling the user.
bool SavePageFile(const ParameterPage& page, const std::string& path, PageHost& host);

// The file dialogs: empty when the user cancels. A saved name without an
// extension gets the page mode's.
std::string AskLoadPath(const ParameterPage& page, bool systemInitFiles);
std::string AskSavePath(const ParameterPage& page);
