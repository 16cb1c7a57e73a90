#pragma once
// Off line, lets the user pick the parameter file the page starts from,
// with the file dialog of the page mode, until a readable file is chosen
// or the user gives up.

#include <string>

class CSelFilePathDlg {
public:
    // True with a readable file kept as the off-line start file; false when
    // the user cancelled.
    bool exec();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
