#include "ParamFixtures.h"

#include "RecordingHost.h"
#include "param/ModelDriveType.h"
#include "param/ModelFiles.h"
#include "param/PageFiles.h"
#include "tables/ParameterCatalogue.h"
#include "tests/support/DriveSimProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace paramtest {

ParameterValues CatalogueValues(const std::string& model)
{
    ParameterCatalogue::Model entry;
    ParameterValues values{};
    if (!ParameterCatalogue::findModel(model, entry))
        return values;
    for (int p = 0; p < kParameterCount; ++p)
        values[p] = entry.parameters[p].factory;
    return values;
}

SomSpec DriveLikeSom(const std::string& model)
{
    SomSpec spec;
    spec.model = model;
    spec.values = CatalogueValues(model);
    ParameterCatalogue::Model entry;
    if (!ParameterCatalogue::findModel(model, entry))
        return spec;
    for (int p = 0; p < kParameterCount; ++p) {
        const ParameterCatalogue::Parameter& row = entry.parameters[p];
        char range[32];
        std::snprintf(range, sizeof range, "%c%5d~%d", row.minimum < 0 ? '-' : ' ', std::abs(row.minimum), row.maximum);
        spec.ranges[p] = range;
    }
    return spec;
}

std::string ParameterLine(int parameter, const std::string& definition, const std::string& range,
                          const std::string& unit, const std::string& value, const std::string& lineBreak)
{
    char line[512];
    std::snprintf(line, sizeof line, " %02X  !%-24s!   %c%-15s%c   #%-15s# , %s", parameter, definition.c_str(),
                  0x1E, range.c_str(), 0x1E, unit.c_str(), value.c_str());
    return line + lineBreak;
}

std::string SomText(const SomSpec& spec)
{
    const std::string& eol = spec.lineBreak;
    std::string text = "* Servo Parameter Setting Value," + eol + "* Model : QDDG Series," + eol + "* Type : " +
                       spec.model + "," + eol + eol;
    for (int p = 0; p < kParameterCount; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "Parameter %02X", p);
        const auto range = spec.ranges.find(p);
        text += ParameterLine(p, name, range == spec.ranges.end() ? "-32768~32767" : range->second,
                              "unit " + std::string(name + 10), std::to_string(spec.values[p]), eol);
    }
    text += std::string(41, '-') + eol + "* Mode : Pulse" + eol + "End of file.," + eol;
    if (spec.flags) {
        text += eol + "[Setup]" + eol + "FileVersion=1.0.0" + eol;
        for (int p = 0; p < kParameterCount; ++p) {
            const ParameterFlag f = spec.flags(p);
            text += "[" + ParameterFlagSection(p) + "]" + eol + "Reboot=" + std::to_string(f.reboot) + eol +
                    "Permanentlcd=" + std::to_string(f.permanentLocked) + eol +
                    "ModeBit=" + std::to_string(f.modeBits) + eol +
                    "Autotunelcd=" + std::to_string(f.autotuneLocked) + eol;
        }
    }
    return text;
}

std::string QdtText()
{
    std::string text = "Reference of the parameters\r\n";
    for (int p = 0; p < kParameterCount; ++p) {
        char block[64];
        std::snprintf(block, sizeof block, "{{{Help of Pr.%02X\r\nline 2}}}\r\n", p);
        text += block;
    }
    return text;
}

void WriteModelFiles(const TempFolder& folder, const SomSpec& spec)
{
    writeBytes(folder.file("SystemInit-" + spec.model + ".som"), SomText(spec));
    writeBytes(folder.file("ParameterRef-" + spec.model + ".qdt"), QdtText());
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

std::unique_ptr<ParameterPage> LoadedPage(const ParamEnvironment& environment, const std::string& model, int mode)
{
    const DriveType drive = ModelDrive(model);
    const std::string som = SystemInitPath(environment.workingDirectory, drive);
    auto page = std::make_unique<ParameterPage>(drive, mode, ReadParameterFlags(som), environment);
    RecordingHost host;
    LoadPageFile(*page, som, LoadSource::SystemInit, LoadColumns::all(), host);
    return page;
}

}  // namespace paramtest
