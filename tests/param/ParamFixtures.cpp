#include "ParamFixtures.h"

#include "link/LinkConnection.h"
#include "link/LinkPort.h"
#include "param/DriveParameterReader.h"
#include "param/ModelDriveType.h"
#include "param/ModelFiles.h"
#include "param/PageFiles.h"
#include "tables/DriveType.h"
#include "tables/ParameterCatalogue.h"
#include "tests/link/LinkTestBed.h"

#include <cstdio>
#include <cstdlib>

namespace paramtest {

ParameterValues CatalogueValues(const std::string& model, const std::map<int, int32_t>& changed)
{
    ParameterCatalogue::Model entry;
    ParameterValues values{};
    for (int p = 0; p < kParameterCount && ParameterCatalogue::findModel(model, entry); ++p)
        values[p] = entry.parameters[p].factory;
    for (auto [p, value] : changed)
        values[p] = value;
    return values;
}

std::string ParameterLine(int parameter, const std::string& definition, const std::string& range,
                          const std::string& unit, const std::string& value, const std::string& lineBreak)
{
    char line[512];
    std::snprintf(line, sizeof line, " %02X  !%-24s!   %c%-15s%c   #%-15s# , %s", parameter, definition.c_str(),
                  0x1E, range.c_str(), 0x1E, unit.c_str(), value.c_str());
    return line + lineBreak;
}

std::string SomText(const std::string& model, const ParameterValues& values, const std::string& eol)
{
    ParameterCatalogue::Model entry;
    EXPECT_TRUE(ParameterCatalogue::findModel(model, entry)) << model;
    std::string text = "* Servo Parameter Setting Value," + eol + "* Model : QDDG Series," + eol + "* Type : " + model +
                       "," + eol + eol;
    for (const ParameterCatalogue::Parameter& row : entry.parameters) {
        char range[32];
        std::snprintf(range, sizeof range, "%c%5d~%d", row.minimum < 0 ? '-' : ' ', std::abs(row.minimum), row.maximum);
        const std::string hex = ParameterHex(row.number);
        text += ParameterLine(row.number, "Parameter " + hex, range, "unit " + hex, std::to_string(values[row.number]),
                              eol);
    }
    return text + std::string(41, '-') + eol + "* Mode : Pulse" + eol + "End of file.," + eol;
}

std::string QdtText()
{
    std::string text = "Reference of the parameters\r\n";
    for (int p = 0; p < kParameterCount; ++p)
        text += "{{{Help of Pr." + ParameterHex(p) + "\r\nline 2}}}\r\n";
    return text;
}

void WriteModelFiles(const TempFolder& folder, const std::string& model)
{
    writeBytes(folder.file("SystemInit-" + model + ".som"), SomText(model, CatalogueValues(model)));
    writeBytes(folder.file("ParameterRef-" + model + ".qdt"), QdtText());
}

bool UseGeneratedModelFiles(const TempFolder& folder, const std::string& model)
{
    const std::string program = DriveSimProcess::programPath();
    const std::string runtime = program.substr(0, program.find_last_of('/'));
    for (const std::string& name : {"SystemInit-" + model + ".som", "ParameterRef-" + model + ".qdt"}) {
        const std::string bytes = readBytes(runtime + "/" + name);
        if (bytes.empty())
            return false;
        writeBytes(folder.file(name), bytes);
    }
    return true;
}

DriveType ModelDrive(const std::string& model)
{
    DriveType drive;
    EXPECT_TRUE(DriveTypeOfModel(model, drive)) << model;
    return drive;
}

int16_t DriveValue(int parameter)
{
    int16_t value = 0;
    EXPECT_TRUE(ReadDriveRegister(static_cast<uint8_t>(parameter), value));
    return value;
}

std::unique_ptr<ParameterPage> LoadedPage(const ParamEnvironment& environment, const std::string& model, int mode)
{
    const DriveType drive = ModelDrive(model);
    const std::string som = SystemInitPath(environment.workingDirectory, drive);
    auto page = std::make_unique<ParameterPage>(drive, mode, ReadParameterFlags(som), environment);
    RecordingHost host;
    LoadPageFile(*page, som, LoadSource::SystemInit, LoadColumns::all(), host);
    return page;
}

bool RecordingHost::askValue(int, const std::string&, int32_t, int32_t& newValue)
{
    if (answers.empty())
        return false;
    newValue = answers.front();
    answers.pop_front();
    return true;
}

SimDrive::SimDrive(const std::string& model, std::vector<std::string> extraOptions)
{
    std::string code = model;
    code[2] = '-';  // as drivesim takes it: "Vr-007"; a later --model wins
    options_ = {"--station", "1", "--baud", "115200", "--pace", "--latency", "3", "--model", code};
    options_.insert(options_.end(), extraOptions.begin(), extraOptions.end());
    CurrentDriveType() = ModelDrive(model);
    connected_ = start();
}

SimDrive::~SimDrive()
{
    ResetLinkState();
    CurrentDriveType() = DriveType();
}

bool SimDrive::start()
{
    constexpr int kBaudIndex115200 = 3;
    ResetLinkState();
    process_.reset();  // on a restart the old drive goes first
    process_ = std::make_unique<DriveSimProcess>(options_);
    if (!process_->ok())
        return false;
    MapOnlyPort(1, process_->portPath());
    const platform::PortHandle port = OpenLinkPort(1, kBaudIndex115200);
    if (!platform::isOpenHandle(port))
        return false;
    CompleteConnection(port, 1);
    return true;
}

}  // namespace paramtest
