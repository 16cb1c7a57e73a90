#include "sim/SimOptions.h"

#include "sim/NumberText.h"
#include "sim/PtyTransport.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace drivesim {
namespace {

// Option values are decimal, or hexadecimal with 0x.
bool toLong(const std::string& text, long min, long max, long& out)
{
    return ParseLong(text, min, max, true, out);
}

bool toProbability(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(v >= 0.0 && v <= 1.0))
        return false;
    out = v;
    return true;
}

bool toCodeList(const std::string& text, std::vector<uint8_t>& out)
{
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        long code = 0;
        if (!toLong(item, 0, 255, code) || out.size() >= 16)
            return false;
        out.push_back(static_cast<uint8_t>(code));
    }
    return !out.empty();
}

}  // namespace

std::string SimOptions::usage()
{
    return "usage: drivesim [options]\n"
           "A simulated servo drive: a Modbus RTU slave on a pseudo-terminal.\n"
           "The first line of output is the port path for the tool to open.\n\n"
           "  --model CODE        model code to report (default VR-007; e.g. VR-101,\n"
           "                      Qm-001, Zt-201; vr_003 and vr-ut1 are older firmware)\n"
           "  --station N         station number, factory value of Pr.00 (1-255, default 1)\n"
           "  --mode N            control mode, factory value of Pr.02 (0-8, default 0)\n"
           "  --baud B            baud the drive listens at (default 19200)\n"
           "  --latency MS        delay before each answer (default 0)\n"
           "  --pace              send bytes at the wire rate of the baud\n"
           "  --usb-batch MS      deliver the output as a USB adapter does: 62-byte\n"
           "                      packets, the rest every MS ms (16 is the usual)\n"
           "  --state FILE        EEPROM file: loaded at start, written by a save (0x0081)\n"
           "  --save-ms MS        busy time of an EEPROM write (default 50)\n"
           "  --power-cycle-after MS  switch the drive off and on once, MS after start\n"
           "                      (SIGHUP does the same at any time)\n"
           "  --link PATH         make PATH a symlink to the port (removed at exit)\n"
           "  --alarm CODE        current alarm code (0-255)\n"
           "  --history CODES     alarm history, newest first, comma separated\n"
           "  --alarm-at MS=CODE  raise alarm CODE MS after start (repeatable)\n"
           "  --extended          report the extended feature bit (0x20 in register 151)\n"
           "  --tune-ms MS        duration of an auto-tuning run (default 3000)\n"
           "  --inertia N         inertia ratio auto tuning finds, Pr.20 (default 250)\n"
           "  --tune-error CODE   auto tuning ends with status 3 or 4 instead of success\n"
           "  --tune-fail-at N    the Nth auto-tuning run ends with status 4\n"
           "  --stream-rate N     scope records per second (default 1000), at most what\n"
           "                      the line carries\n"
           "  --signals KIND      what the stream carries: model (the motion, default)\n"
           "                      or test (full-scale test waves)\n"
           "  --pulse-rate N      the host's pulse train in the pulse modes, command\n"
           "                      pulses a second (default 20000; 0 none)\n"
           "  --set REG=VALUE     start with a register at a value (repeatable)\n"
           "  --drop P            probability an answer or record is lost\n"
           "  --corrupt P         probability one byte of it is altered\n"
           "  --extra-byte P      probability an answer gets one extra byte\n"
           "  --silent-after N    fall silent after N answers\n"
           "  --seed S            seed of the fault injection (default 1)\n"
           "  --help              this text\n";
}

SimOptions::Outcome SimOptions::parse(int argc, const char* const* argv, SimOptions& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i], value;
        const bool takesNoValue = name == "--pace" || name == "--extended" || name == "--help" || name == "-h";
        if (name == "--help" || name == "-h")
            return Outcome::Help;
        if (!takesNoValue) {
            const size_t eq = name.find('=');
            if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                error = name + " needs a value";
                return Outcome::Error;
            }
        }
        long n = 0;
        bool ok = true;
        if (name == "--pace") o.line.paced = true;
        else if (name == "--extended") o.drive.extendedFeatures = true;
        else if (name == "--model") {
            const auto model = ModelTable::find(value);
            ok = model.has_value();
            if (ok) o.drive.model = *model;
        } else if (name == "--station") { ok = toLong(value, 1, 255, n); o.drive.station = static_cast<uint8_t>(n); }
        else if (name == "--mode") { ok = toLong(value, 0, 8, n); o.drive.controlMode = static_cast<int16_t>(n); }
        else if (name == "--baud") { ok = toLong(value, 1, 4000000, n) && PtyTransport::speedConstant(n) != 0; o.line.baud = static_cast<uint32_t>(n); }
        else if (name == "--usb-batch") { ok = toLong(value, 1, 255, n); o.line.usbBatchMs = static_cast<uint32_t>(n); }
        else if (name == "--latency") { ok = toLong(value, 0, 10000, n); o.line.latencyMs = static_cast<uint32_t>(n); }
        else if (name == "--state") { ok = !value.empty(); o.statePath = value; }
        else if (name == "--save-ms") { ok = toLong(value, 0, 60000, n); o.drive.saveBusyMs = static_cast<uint32_t>(n); }
        else if (name == "--power-cycle-after") { ok = toLong(value, 1, 86400000, n); o.drive.powerCycleAfterMs = static_cast<uint32_t>(n); }
        else if (name == "--link") { ok = !value.empty(); o.linkPath = value; }
        else if (name == "--alarm") { ok = toLong(value, 0, 255, n); o.drive.alarm = static_cast<uint8_t>(n); }
        else if (name == "--alarm-at") {
            const size_t eq = value.find('=');
            long ms = 0, code = 0;
            ok = eq != std::string::npos && toLong(value.substr(0, eq), 0, 86400000, ms) &&
                 toLong(value.substr(eq + 1), 1, 255, code);
            if (ok) o.drive.alarmsAt.emplace_back(static_cast<uint32_t>(ms), static_cast<uint8_t>(code));
        } else if (name == "--history") { o.drive.history.clear(); ok = toCodeList(value, o.drive.history); o.drive.historyGiven = ok; }
        else if (name == "--tune-ms") { ok = toLong(value, 1, 600000, n); o.drive.tuning.durationMs = static_cast<uint32_t>(n); }
        else if (name == "--inertia") { ok = toLong(value, 0, 10000, n); o.drive.tuning.inertiaResult = static_cast<int16_t>(n); }
        else if (name == "--tune-error") {
            ok = toLong(value, 3, 4, n);
            o.drive.tuning.outcome = n == 3 ? TuningMachine::ServoOff : TuningMachine::Error;
        } else if (name == "--tune-fail-at") { ok = toLong(value, 1, 1000000, n); o.drive.tuning.failAtRun = static_cast<int>(n); }
        else if (name == "--signals") { ok = value == "model" || value == "test"; o.drive.testSignals = value == "test"; }
        else if (name == "--pulse-rate") { ok = toLong(value, -10000000, 10000000, n); o.drive.pulseRate = static_cast<double>(n); }
        else if (name == "--stream-rate") { ok = toLong(value, 1, 100000, n); o.line.recordsPerSecond = static_cast<uint32_t>(n); }
        else if (name == "--set") {
            const size_t eq = value.find('=');
            long address = 0, v = 0;
            ok = eq != std::string::npos && toLong(value.substr(0, eq), 0, 0xFFFF, address) &&
                 toLong(value.substr(eq + 1), -32768, 65535, v);
            if (ok) o.drive.presets[static_cast<uint16_t>(address)] = static_cast<uint16_t>(v);
        } else if (name == "--drop") ok = toProbability(value, o.line.faults.dropProbability);
        else if (name == "--corrupt") ok = toProbability(value, o.line.faults.corruptProbability);
        else if (name == "--extra-byte") ok = toProbability(value, o.line.faults.extraByteProbability);
        else if (name == "--silent-after") { ok = toLong(value, 0, 0x7FFFFFFF, n); o.line.faults.silentAfter = n; }
        else if (name == "--seed") { ok = toLong(value, 0, 0xFFFFFFFFL, n); o.line.faults.seed = static_cast<uint32_t>(n); }
        else {
            error = "unknown option " + name;
            return Outcome::Error;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return Outcome::Error;
        }
    }
    return Outcome::Run;
}

}  // namespace drivesim
