#pragma once
// Helpers of the parameter tests: model files, a recording page host, drivesim as the drive.

#include "param/PageHost.h"
#include "param/ParamEnvironment.h"
#include "param/ParameterPage.h"
#include "platform/ScriptedUserPrompt.h"
#include "tests/platform/TempFolder.h"
#include "tests/support/DriveSimProcess.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace paramtest {

using namespace testing_files;  // TempFolder, readBytes, writeBytes

// The model's factory values (the catalogue's, drivesim's too), some changed.
ParameterValues CatalogueValues(const std::string& model, const std::map<int, int32_t>& changed = {});
// One parameter line: " 10  !def!   RS range RS   #unit# , value".
std::string ParameterLine(int parameter, const std::string& definition, const std::string& range,
                          const std::string& unit, const std::string& value, const std::string& lineBreak = "\r\n");
// A parameter-set file of the model: texts "Parameter NN", "unit NN", the catalogue's ranges.
std::string SomText(const std::string& model, const ParameterValues& values, const std::string& lineBreak = "\r\n");
// Block N+1 "Help of Pr.NN\nline 2".
std::string QdtText();
// Writes SystemInit-<model>.som (factory values) and ParameterRef-<model>.qdt into the folder.
void WriteModelFiles(const TempFolder& folder, const std::string& model);
// Copies the model's files the build generated; false when missing.
bool UseGeneratedModelFiles(const TempFolder& folder, const std::string& model);
DriveType ModelDrive(const std::string& model);
// A parameter of the drive on the link, read aside from the page.
int16_t DriveValue(int parameter);
// A page of the model in a mode, filled from the folder's .som (all columns).
std::unique_ptr<ParameterPage> LoadedPage(const ParamEnvironment& environment, const std::string& model, int mode);

// Records what the page shows; answers the value question from a queue.
class RecordingHost : public PageHost {
public:
    std::string status;  // the last one
    std::string description;
    bool descriptionRed = false;
    int commandWaits = 0;
    std::deque<int32_t> answers;  // values the user types; empty: Cancel

    void setStatus(const std::string& text) override { status = text; }
    void setDescription(const std::string& text, bool red) override
    {
        description = text;
        descriptionRed = red;
    }
    bool runCommandWait() override
    {
        ++commandWaits;
        return PageHost::runCommandWait();
    }
    bool askValue(int, const std::string&, int32_t, int32_t& newValue) override;
};

// drivesim (115200 baud, paced, 3 ms latency) on the link as the current drive, posing as `model`.
class SimDrive {
public:
    SimDrive(const std::string& model, std::vector<std::string> extraOptions = {});
    ~SimDrive();  // lets the port go and stops drivesim
    bool connected() const { return connected_; }
    bool restart() { return connected_ = start(); }  // a power cycle

private:
    bool start();
    std::vector<std::string> options_;
    std::unique_ptr<DriveSimProcess> process_;
    bool connected_ = false;
};

// A working folder, the page's settings, a scripted prompt, a recording host.
class PageTest : public ::testing::Test {
protected:
    // Writes a parameter-set file of the model into the folder; its path.
    std::string writeFile(const std::string& name, const std::string& model, const ParameterValues& values)
    {
        writeBytes(folder.file(name), SomText(model, values));
        return folder.file(name);
    }

    TempFolder folder;
    ParamEnvironment environment{folder.path()};
    platform::ScriptedUserPrompt prompt;
    platform::ScopedUserPrompt scoped{prompt};
    RecordingHost host;
};

}  // namespace paramtest
