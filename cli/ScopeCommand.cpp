// scope: one window of the drive's scope stream into a waveform file,
// through the scope's own session (stream start and stop, acquisition
// worker, trigger capture, waveform writer).

#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/CliTexts.h"
#include "cli/DriveSession.h"
#include "cli/OptionValues.h"
#include "cli/ProgressDisplay.h"
#include "scope/ScaleSettings.h"
#include "scope/ScopeSession.h"
#include "scope/TriggerCapture.h"
#include "texts/LoadText.h"

#include <cctype>
#include <ctime>

namespace {

// The channels by the words the command line uses, in channel order.
const char* const kChannelWords[kScopeChannelCount] = {"speed", "torque", "deviation", "command"};
constexpr long kScanMarginMs = 5000;
constexpr long kTriggerTimeoutMs = 10000;

struct ScopeRequest {
    std::string path;
    std::vector<int> channels;  // in the order given
    std::string secDiv = "500";
    int triggerSource = 0;  // channel + 1; 0 scans
    long level = 10;
    long horizontal = 50;
    long timeoutMs = 0;
};

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int channelOfWord(const std::string& word)
{
    for (int c = 0; c < kScopeChannelCount; ++c)
        if (lower(word) == kChannelWords[c])
            return c;
    return -1;
}

bool parseChannels(const std::string& list, std::vector<int>& channels)
{
    channels.clear();
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const int channel = channelOfWord(list.substr(start, comma == std::string::npos ? comma : comma - start));
        for (int taken : channels)
            if (taken == channel)
                return false;
        if (channel < 0)
            return false;
        channels.push_back(channel);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return static_cast<int>(channels.size()) <= ScaleSettings::kMaxCheckedChannels;
}

bool hasWaveformExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ".wfm";
}

// Everything the command line says, checked before the drive is touched.
int readRequest(const CliContext& context, ScopeRequest& request)
{
    const CommandLine& line = context.line;
    request.path = line.arguments.at(0);
    if (!hasWaveformExtension(request.path))
        return context.fail(kExitUsage, request.path + LoadText(kTextNeedsWfm));
    if (!line.has("channels"))
        return context.fail(kExitUsage, LoadText(kTextScopeNeedsChannels));
    if (!parseChannels(line.value("channels"), request.channels))
        return context.fail(kExitUsage, LoadText(kTextBadChannels) + line.value("channels"));
    request.secDiv = line.value("ms", request.secDiv);
    if (!ScaleSettings().selectSecDivText(request.secDiv))
        return context.fail(kExitUsage, LoadText(kTextBadMs) + request.secDiv);
    if (line.has("trigger")) {
        const int channel = channelOfWord(line.value("trigger"));
        bool recorded = false;
        for (int c : request.channels)
            recorded = recorded || c == channel;
        if (!recorded)
            return context.fail(kExitUsage, LoadText(kTextBadTrigger) + line.value("trigger"));
        request.triggerSource = channel + 1;
    }
    if (line.has("level") && !ParseNumberInRange(line.value("level"), -32768, 32767, request.level))
        return context.fail(kExitUsage, LoadText(kTextBadLevel) + line.value("level"));
    if (line.has("horizontal") && (!ParseNumberInRange(line.value("horizontal"), -999, 999, request.horizontal) ||
                                   !HorizontalInRange(static_cast<int>(request.horizontal))))
        return context.fail(kExitUsage, LoadText(270) + ": " + line.value("horizontal"));
    long seconds = 0;
    if (line.has("timeout") && !ParseNumberInRange(line.value("timeout"), 1, 3600, seconds))
        return context.fail(kExitUsage, LoadText(kTextBadTimeout) + line.value("timeout"));
    request.timeoutMs = seconds > 0 ? seconds * 1000
                                    : (request.triggerSource ? kTriggerTimeoutMs : std::stol(request.secDiv) + kScanMarginMs);
    return kExitOk;
}

void describeCapture(const ScopeRequest& request, const ScopeSession& session, CommandOutput& output)
{
    const int samples = session.captureLength() + 1;
    JsonValue& data = output.data;
    data.set("file", request.path);
    JsonValue& channels = data.set("channels", JsonValue::array());
    std::string names;
    for (int c = 0; c < kScopeChannelCount; ++c) {
        if (!session.scale().checked(c))
            continue;
        channels.push(kChannelWords[c]);
        names += (names.empty() ? "" : ", ") + std::string(kChannelWords[c]);
    }
    data.set("samples", samples);
    std::string how = "scan";
    if (request.triggerSource) {
        const int preTrigger = PreTriggerCount(session.captureLength(), static_cast<int>(request.horizontal));
        data.set("trigger", kChannelWords[request.triggerSource - 1]);
        data.set("level", static_cast<int>(request.level));
        data.set("triggerSample", preTrigger);
        how = std::string("trigger ") + kChannelWords[request.triggerSource - 1] + " rising through " +
              std::to_string(request.level) + " at sample " + std::to_string(preTrigger);
    } else {
        data.set("trigger", JsonValue());
    }
    output.lines.push_back(request.path + ": " + std::to_string(samples) + " samples of " + names + " (" + how + ")");
}

}  // namespace

int RunScope(CliContext& context, CommandOutput& output)
{
    ScopeRequest request;
    if (const int code = readRequest(context, request))
        return code;
    DriveSession session(context);
    if (const int code = session.connect())
        return code;

    ScopeSession scope;
    for (int channel : request.channels)
        scope.scale().setChecked(channel, true);
    scope.scale().selectSecDivText(request.secDiv);
    scope.live().level = static_cast<int>(request.level);
    scope.live().horizontal = static_cast<int>(request.horizontal);
    scope.refreshChannels();

    const size_t full = static_cast<size_t>(scope.captureLength()) + 1;
    const ScopeSession::CaptureResult result =
        scope.captureOnce(request.triggerSource, static_cast<int>(request.timeoutMs), [&] {
            if (request.triggerSource)
                context.progress.show(LoadText(kTextWaitingForTrigger), 0, 0);
            else
                context.progress.show(LoadText(kTextCapturing),
                                      static_cast<int>(scope.buffers().size(request.channels.front())),
                                      static_cast<int>(full));
            return !context.isInterrupted();
        });
    context.progress.clear();
    switch (result) {
    case ScopeSession::CaptureResult::Complete:
        break;
    case ScopeSession::CaptureResult::Refused:
    case ScopeSession::CaptureResult::Offline:
    case ScopeSession::CaptureResult::NoChannel:
        return context.fail(kExitDriveFailure, LoadText(273));
    case ScopeSession::CaptureResult::Ended:
        return context.fail(kExitDriveFailure, LoadText(1168));
    case ScopeSession::CaptureResult::TimedOut:
        if (context.isInterrupted())
            return context.fail(kExitDriveFailure, LoadText(kTextInterrupted));
        return context.fail(kExitDriveFailure, LoadText(request.triggerSource ? kTextNoCapture : kTextScanTimedOut));
    }

    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    if (!scope.saveWaveform(request.path, utc))
        return context.fail(kExitUsage, request.path + LoadText(kTextFileNotWritten));
    describeCapture(request, scope, output);
    return kExitOk;
}
