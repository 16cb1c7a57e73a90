#pragma once
// Model files for the parameter tests: the files the build generates for
// every model, and small ones written line by line in the file format
// (independently of the program's writer) with plain texts, the catalogue's
// ranges and factory values, optionally with flags.

#include "param/ParamEnvironment.h"
#include "param/ParameterFlags.h"
#include "param/ParameterNumbers.h"
#include "param/ParameterPage.h"
#include "tests/platform/TempFolder.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace paramtest {

using testing_files::readBytes;
using testing_files::TempFolder;
using testing_files::writeBytes;

struct SomSpec {
    std::string model = "Vr_007";
    ParameterValues values{};              // the factory values
    std::map<int, std::string> ranges;     // per parameter; "-32768~32767" otherwise
    std::function<ParameterFlag(int)> flags;  // set: the file carries version 1.0.0 flags
    std::string lineBreak = "\r\n";
};

// The model's factory values from the parameter catalogue (drivesim's too).
ParameterValues CatalogueValues(const std::string& model);
// A spec with the catalogue's factory values and ranges, and plain texts:
// definition "Parameter NN", unit "unit NN".
SomSpec DriveLikeSom(const std::string& model);

// One parameter line: " 10  !def!   RS range RS   #unit# , value".
std::string ParameterLine(int parameter, const std::string& definition, const std::string& range,
                          const std::string& unit, const std::string& value, const std::string& lineBreak = "\r\n");
// Definition "Parameter NN", unit "unit NN".
std::string SomText(const SomSpec& spec);
// Block N+1 "Help of Pr.NN\nline 2".
std::string QdtText();

// A working folder holding SystemInit-<model>.som and ParameterRef-<model>.qdt.
void WriteModelFiles(const TempFolder& folder, const SomSpec& spec);
// Copies the model's files as the build generated them (beside the test
// program) into the folder; false when they are missing.
bool UseGeneratedModelFiles(const TempFolder& folder, const std::string& model);

// The drive type of a model name ("Vr_007", "Zt_001").
DriveType ModelDrive(const std::string& model);
// A page of the model in a mode, filled from the folder's .som (all columns).
std::unique_ptr<ParameterPage> LoadedPage(const ParamEnvironment& environment, const std::string& model, int mode);
// Every value of a page (0 for hidden parameters).
inline ParameterValues PageValues(const ParameterPage& page) { return page.values(); }

}  // namespace paramtest
