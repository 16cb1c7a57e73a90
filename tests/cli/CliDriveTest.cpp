// drivara-cli itself, run as a child process against drivesim on a
// pseudo-terminal: every command, a backup-change-restore-compare round
// trip, files refused, a noisy line and a drive that falls silent.

#include "tests/platform/TempFolder.h"
#include "tests/support/DriveSimProcess.h"

#include "scope/ScopeSession.h"
#include "sim/FaultInjector.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <sys/wait.h>

namespace {

using testing_files::readBytes;
using testing_files::writeBytes;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct CliRun {
    int exitCode = -1;  // -1: killed after 30 s, or it did not start
    std::string out, err;
    long milliseconds = 0;
};

// drivara-cli (beside drivesim) run in `folder` as a script would run it; no argument here holds a quote.
CliRun RunCliProcess(const std::vector<std::string>& arguments, const std::string& folder)
{
    const std::string sim = DriveSimProcess::programPath();
    std::string command = "cd '" + folder + "' && exec timeout -s KILL 30 '" + sim.substr(0, sim.rfind('/')) + "/drivara-cli'";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    CliRun run;
    const auto start = std::chrono::steady_clock::now();
    if (FILE* pipe = popen((command + " 2>.stderr").c_str(), "r")) {
        char buffer[4096];
        while (const size_t n = fread(buffer, 1, sizeof buffer, pipe))
            run.out.append(buffer, n);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) && WEXITSTATUS(status) != 137 ? WEXITSTATUS(status) : -1;
    }
    run.milliseconds = long(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    run.err = readBytes(folder + "/.stderr");
    return run;
}

// The run ended with `code`, its output holding `outPart` and its messages `errPart`.
testing::AssertionResult Ran(const CliRun& run, int code, const std::string& outPart = "", const std::string& errPart = "")
{
    if (run.exitCode == code && Contains(run.out, outPart) && Contains(run.err, errPart))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "exit code " << run.exitCode << "\nout: " << run.out << "\nerr: " << run.err;
}

// A file's text with its model line naming another model.
std::string WithModel(std::string text, const std::string& model)
{
    const size_t at = text.find("* Type : ");
    return at == std::string::npos ? text : text.replace(at + 9, 6, model);
}

// A file's text with one parameter's value replaced ("Pr.NN" lines end in ", value").
std::string WithValue(const std::string& text, int parameter, int value)
{
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, " %02X  !", parameter);
    const size_t comma = text.find(", ", text.find('#', text.find('#', text.find(prefix)) + 1));
    return text.substr(0, comma + 2) + std::to_string(value) + text.substr(text.find("\r\n", comma));
}

// The first seed whose fault injection corrupts exactly the answers of
// `corrupted` (counted from 1) among answers of these lengths: the test then
// knows which exchanges the drive garbles.
uint32_t SeedCorrupting(const std::vector<size_t>& lengths, const std::set<size_t>& corrupted, double probability)
{
    for (uint32_t seed = 1; seed < 1000000; ++seed) {
        drivesim::FaultInjector::Settings settings;
        settings.corruptProbability = probability;
        settings.seed = seed;
        drivesim::FaultInjector faults(settings);
        bool matches = true;
        for (size_t k = 0; k < lengths.size() && matches; ++k) {
            std::vector<uint8_t> answer(lengths[k], 0);
            faults.applyToAnswer(answer);
            matches = (answer != std::vector<uint8_t>(lengths[k], 0)) == (corrupted.count(k + 1) > 0);
        }
        if (matches)
            return seed;
    }
    return 0;
}

class CliOnDrive : public ::testing::Test {
protected:
    // drivesim at 115200 baud, paced, a few ms late, station 1, plus `options`.
    bool startDrive(std::vector<std::string> options, const std::string& model = "VR-007")
    {
        options.insert(options.begin(), {"--model", model, "--baud", "115200", "--pace", "--latency", "2"});
        drive = std::make_unique<DriveSimProcess>(options);
        return drive->ok();
    }
    // drivara-cli on the drive's port at its rate and station 1.
    CliRun cli(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.end(), {"--port", drive->portPath(), "--baud", "115200", "--station", "1"});
        return RunCliProcess(arguments, folder.path());
    }
    std::string file(const std::string& name) const { return folder.file(name); }

    testing_files::TempFolder folder;
    std::unique_ptr<DriveSimProcess> drive;
};

// Catches a port table that loses mapped ports, a sub-command without --help, a rate or station search that misses
// the drive, identification fields lost, or a miss not reported as exit 1.
TEST_F(CliOnDrive, PortsThenIdentifySearchesRateAndStationThroughThePortTable)
{
    ASSERT_TRUE(startDrive({"--station", "5", "--baud", "38400"}, "VR-101"));
    writeBytes(file("Preference.ini"), "[PortMap]\nCOM3=" + drive->portPath() + "\n");
    EXPECT_TRUE(Ran(RunCliProcess({"ports"}, folder.path()), 0, "COM3  " + drive->portPath() + "  (PortMap)\n"));
    EXPECT_TRUE(Ran(RunCliProcess({"ports", "--json"}, folder.path()), 0,
                    "\"port\": \"COM3\",\n      \"device\": \"" + drive->portPath() + "\",\n      \"mapped\": true"));
    EXPECT_TRUE(Ran(RunCliProcess({"ports", "--help"}, folder.path()), 0, "drivara-cli ports"));
    std::vector<std::string> search{"identify", "--port", "COM3", "--baud", "auto", "--station", "auto", "--scan-to", "6"};
    const CliRun plain = RunCliProcess(search, folder.path());
    for (const std::string& line : std::vector<std::string>{
             "port:        COM3 (" + drive->portPath() + ")", "baud:        38400", "station:     5", "code:        VR-101",
             "family:      Vr", "group:       9", "model:       Vr_101", "drive class: 1"})
        EXPECT_TRUE(Ran(plain, 0, line + "\n"));
    search.push_back("--json");
    const CliRun json = RunCliProcess(search, folder.path());
    for (const char* field : {"\"port\": \"COM3\"", "\"baud\": 38400", "\"station\": 5", "\"code\": \"VR-101\"",
                              "\"family\": \"Vr\"", "\"group\": 9", "\"driveClass\": 1", "\"listed\": true"})
        EXPECT_TRUE(Ran(json, 0, field));

    // A rate the drive does not use, and a scan that stops below its station.
    for (const std::vector<std::string>& miss : {std::vector<std::string>{"--baud", "57600", "--station", "5"},
                                                 {"--baud", "38400", "--station", "auto", "--scan-to", "4"}}) {
        search.assign({"identify", "--port", "COM3"});
        search.insert(search.end(), miss.begin(), miss.end());
        const CliRun failed = RunCliProcess(search, folder.path());
        EXPECT_TRUE(Ran(failed, 1, "", "Communication interface fails to start"));
        EXPECT_EQ(failed.out, "");
    }
}

// Catches a backup, set, restore or compare that loses a value, a write without --yes, an unsaved restore, a wrong
// page mode, and an incompatible, cut, binary, missing or misnamed file or an out-of-range value not refused with exit 2.
TEST_F(CliOnDrive, BackupChangeRestoreCompareAndFilesRefused)
{
    ASSERT_TRUE(startDrive({"--state", file("eeprom.txt")}));
    ASSERT_EQ(cli({"read-params", "backup.qdp"}).exitCode, 0);
    const std::string saved = readBytes(file("backup.qdp"));
    EXPECT_TRUE(Contains(saved, "* Type : Vr_007,\r\n"));
    EXPECT_TRUE(Contains(saved, "1st position loop gain")) << "texts of the model's SystemInit file";
    EXPECT_EQ(LinesOf(saved).size(), 135u);
    EXPECT_EQ(cli({"compare", "--factory"}).exitCode, 0);

    const CliRun before = cli({"get", "Pr.10"});
    ASSERT_EQ(before.exitCode, 0) << before.err;
    const std::string original = before.out.substr(0, before.out.size() - 1), changed = std::to_string(std::stoi(original) + 7);
    ASSERT_EQ(cli({"set", "0x10", changed}).exitCode, 0);
    EXPECT_EQ(cli({"get", "pr10"}).out, changed + "\n");
    const CliRun differs = cli({"compare", "backup.qdp"});
    EXPECT_EQ(differs.exitCode, 3) << differs.err;
    ASSERT_EQ(LinesOf(differs.out).size(), 1u) << differs.out;
    EXPECT_EQ(differs.out.rfind("Pr.10  drive " + changed + "  file " + original, 0), 0u) << differs.out;
    EXPECT_TRUE(Ran(cli({"compare", "backup.qdp", "--json"}), 3, "\"differ\": 1"));

    // Writing the page asks first: without --yes nothing reaches the drive.
    EXPECT_TRUE(Ran(cli({"write-params", "backup.qdp", "--eeprom"}), 2, "", "--yes"));
    EXPECT_EQ(cli({"get", "Pr.10"}).out, changed + "\n");
    const CliRun restore = cli({"write-params", "backup.qdp", "--eeprom", "--yes"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(restore.err, "");
    const CliRun same = cli({"compare", "backup.qdp"});
    EXPECT_TRUE(Ran(same, 0));
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(cli({"get", "Pr.10"}).out, before.out);
    // The EEPROM holds the restored value: it survives a power cycle.
    EXPECT_TRUE(Contains(readBytes(file("eeprom.txt")), "\n16 " + original + "\n"));

    // A page-mode file carries only its page's parameters.
    ASSERT_EQ(cli({"read-params", "position.pcm"}).exitCode, 0);
    ASSERT_EQ(cli({"set", "Pr.10", "99"}).exitCode, 0);
    EXPECT_EQ(cli({"compare", "position.pcm"}).exitCode, 3) << "Pr.10 is a position-mode parameter";
    ASSERT_EQ(cli({"set", "Pr.10", original}).exitCode, 0);
    ASSERT_EQ(cli({"set", "Pr.50", "1234"}).exitCode, 0);  // a velocity parameter, hidden in the position page
    EXPECT_TRUE(Ran(cli({"compare", "position.pcm", "--json"}), 0));

    // Files that cannot be used are refused and the drive keeps its values.
    const std::string good = WithValue(saved, 0x10, 1234);
    writeBytes(file("newer.qdp"), WithModel(good, "Vr_102"));
    writeBytes(file("cut.qdp"), good.substr(0, good.size() / 2));
    writeBytes(file("binary.qdp"), std::string("\x01\x02\x00\x7f garbage", 12));
    writeBytes(file("good.txt"), good);
    const char* const incompatible = "Parameter values are incompatible between the two versions!!";
    const std::pair<std::vector<std::string>, const char*> refusals[] = {
        {{"write-params", "newer.qdp", "--yes"}, incompatible},
        {{"compare", "newer.qdp"}, incompatible},
        {{"write-params", "cut.qdp", "--yes"}, "the file ends before all 128 parameter lines"},
        {{"write-params", "binary.qdp", "--yes"}, "binary"},
        {{"write-params", "missing.qdp", "--yes"}, "does not exist"},
        {{"write-params", "good.txt", "--yes"}, ".qdp, .pcm, .vcm or .tcm"},
        {{"set", "Pr.10", "5000"}, "Parameter setting value out of range! (1 ~ 2000)"},
        {{"set", "Pr.10", "0"}, "out of range"},
    };
    for (const auto& [arguments, message] : refusals)
        EXPECT_TRUE(Ran(cli(arguments), 2, "", message)) << arguments[1];
    EXPECT_NE(cli({"get", "Pr.10"}).out, "1234\n");

    // The older model of the same line is converted, with a warning.
    writeBytes(file("older.qdp"), WithValue(WithModel(good, "Vr_006"), 0x20, 150));
    EXPECT_TRUE(Ran(cli({"write-params", "older.qdp", "--yes"}), 0, "", "The version of loaded file is: Vr_006"));
    EXPECT_EQ(cli({"get", "Pr.20"}).out, "300\n");
    EXPECT_EQ(cli({"get", "Pr.10"}).out, "1234\n");
}

// Catches a backup or compare that gives up on a garbled answer (--corrupt 0.05) instead of retrying.
TEST_F(CliOnDrive, ANoisyLineIsCarriedThroughTheRetries)
{
    // Answers of a backup (station twice, identification, the two blocks)
    // then of a compare; the drive garbles the first block of the backup
    // and the second block of the compare. A failed read stops a possible
    // stream (a write, 8 bytes) before it asks again.
    const uint32_t seed = SeedCorrupting({7, 7, 34, 133, 8, 133, 133, 7, 7, 34, 133, 133, 8, 133}, {4, 12}, 0.05);
    ASSERT_NE(seed, 0u);
    ASSERT_TRUE(startDrive({"--corrupt", "0.05", "--seed", std::to_string(seed)}));
    ASSERT_TRUE(Ran(cli({"read-params", "noisy.qdp"}), 0));
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"compare", "noisy.qdp"}, {"alarms"}, {"io"}})
        EXPECT_TRUE(Ran(cli(arguments), 0)) << arguments[0];
}

// Catches a command that hangs or succeeds when the drive falls silent, or leaves a file behind.
TEST_F(CliOnDrive, ADriveThatFallsSilentFailsWithinSeconds)
{
    ASSERT_TRUE(startDrive({}));
    ASSERT_EQ(cli({"read-params", "backup.qdp"}).exitCode, 0);
    const std::string backup = readBytes(file("backup.qdp"));
    // Answers before the silence: the station twice, and the identification
    // where the command needs the model; scope's stream starts (the third) and never comes.
    const std::tuple<std::vector<std::string>, int, const char*> silences[] = {
        {{"read-params", "late.qdp"}, 3, "Servo driver information can not be downloaded!"},
        {{"write-params", "backup.qdp", "--yes"}, 3, "Get ID Error."},
        {{"alarms"}, 2, "Read data failed!"},
        {{"io"}, 2, "Read data failed!"},
        {{"scope", "silent.wfm", "--channels", "speed"}, 3, "The drive stopped sending scope data"},
    };
    for (const auto& [arguments, answers, message] : silences) {
        ASSERT_TRUE(startDrive({"--silent-after", std::to_string(answers)}));
        const CliRun run = cli(arguments);
        EXPECT_TRUE(Ran(run, 1, "", message)) << arguments[0];
        EXPECT_LT(run.milliseconds, 10000) << arguments[0];
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(readBytes(file("backup.qdp")), backup) << "the backup is untouched";
    EXPECT_FALSE(std::ifstream(file("late.qdp")).good()) << "no file from a failed read";
}

// Catches alarm texts, the history or the I/O signals misread or misnamed.
TEST_F(CliOnDrive, AlarmsAndInputsAndOutputs)
{
    ASSERT_TRUE(startDrive({"--alarm", "12", "--history", "12,36", "--mode", "1"}));
    const std::vector<std::string> lines = LinesOf(cli({"alarms"}).out);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0], "Current status: Err.12   Over voltage protection");
    EXPECT_EQ(lines[1], "Record 1:       Err.12   Over voltage protection");
    EXPECT_EQ(lines[2], "Record 2:       Err.36   EEPROM parameter error protection");
    EXPECT_EQ(lines[3], "Record 3:       No error occurs.");
    EXPECT_TRUE(Contains(cli({"alarms", "--json"}).out, "\"current\": {\n    \"code\": 12,"));

    const CliRun io = cli({"io", "--json"});
    // The current alarm shows on the outputs: servo alarm on, not ready.
    for (const char* field : {"\"mode\": 1", "\"modeName\": \"Velocity Control Mode\"", "\"commandPulseSum\": ",
                              "\"signal\": \"SVO-ALM\",\n      \"active\": true",
                              "\"signal\": \"SVO-RDY\",\n      \"active\": false",
                              "\"signal\": \"SVO-ON\",\n      \"active\": false"})
        EXPECT_TRUE(Ran(io, 0, field));
    const CliRun ioPlain = cli({"io"});
    EXPECT_EQ(LinesOf(ioPlain.out).at(0), "Velocity Control Mode");
    EXPECT_TRUE(Contains(ioPlain.out, "   29  SVO-ON     Servo-ON input")) << ioPlain.out;
}

// Catches a waveform file ReCall cannot read, a trigger window misplaced, and a file from a capture that never triggered.
TEST_F(CliOnDrive, WaveformsAreReadBackByTheScope)
{
    ASSERT_TRUE(startDrive({"--signals", "test"}));  // speed is a sine of 1 s through both ends of its slot
    ASSERT_TRUE(Ran(cli({"scope", "scan.wfm", "--channels", "command,speed,torque", "--ms", "200"}), 0,
                    "scan.wfm: 201 samples of speed, torque, command (scan)\n"));
    ScopeSession scanned;
    ASSERT_EQ(scanned.recall(file("scan.wfm")), ScopeSession::RecallResult::Loaded);
    EXPECT_EQ(scanned.scale().secDiv(), 200);
    for (int channel : {kSpeed, kTorque, kCommand}) {
        EXPECT_TRUE(scanned.scale().checked(channel)) << channel;
        EXPECT_EQ(scanned.buffers().size(channel), 201u) << channel;
    }
    EXPECT_FALSE(scanned.scale().checked(kDeviation));

    ASSERT_TRUE(Ran(cli({"scope", "trigger.wfm", "--channels", "speed,deviation", "--trigger", "speed", "--level", "10",
                         "--horizontal", "25", "--json"}), 0, "\"triggerSample\": 125"));
    ScopeSession captured;
    ASSERT_EQ(captured.recall(file("trigger.wfm")), ScopeSession::RecallResult::Loaded);
    const std::vector<double> speed = captured.buffers().samples(kSpeed);
    ASSERT_EQ(speed.size(), 501u);
    EXPECT_EQ(captured.buffers().size(kDeviation), 501u);
    EXPECT_LT(speed[124], 10);  // 125 samples ahead of the one that rose through the level
    EXPECT_GE(speed[125], 10);

    EXPECT_TRUE(Ran(cli({"scope", "never.wfm", "--channels", "speed", "--trigger", "speed", "--level", "20000",
                         "--timeout", "1"}), 1, "", "did not rise through the level"));
    EXPECT_FALSE(std::ifstream(file("never.wfm")).good());
}

}  // namespace
