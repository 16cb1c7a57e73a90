#pragma once
// The ".wfm" waveform file: the scale settings as numbered key lines, then
// one section of samples per checked channel, as plain text with CR LF
// line ends. The writer produces the bytes; the reader takes the keys and
// sections back out of them.

#include "scope/ScopeBuffers.h"

#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// What a file carries.
struct WaveformSettings {
    std::array<int, kScopeChannelCount> volDiv{};    // list numbers (Pulse Deviation: exponent)
    int secDiv = 500;                                // N, the capture length
    std::array<int, kScopeChannelCount> vertical{};  // vertical-position fields
    std::array<bool, kScopeChannelCount> checked{};
};

// The file's bytes. `path` is written into the header as chosen; `utc` is
// the time of saving. Each checked channel's section holds samples 0..N of
// its buffer (fewer when the buffer holds fewer), truncated toward zero.
std::string WriteWaveformText(const WaveformSettings& settings, const ChannelSamples& samples,
                              const std::string& path, const std::tm& utc);
// "2025year 03month 03day 22:05:09": the hour is the UTC hour + 8, without
// carrying into the day, as files of the drive tool have always read.
std::string WaveformTimeStamp(const std::tm& utc);

// What the reader found, in file order. Values are the key lines' texts;
// the caller selects list entries with them.
struct WaveformRecall {
    std::array<std::optional<std::string>, kScopeChannelCount> volDivText;
    std::optional<std::string> secDivText;
    std::array<std::optional<std::string>, kScopeChannelCount> verticalText;
    struct Section {
        int channel = 0;
        std::vector<double> samples;  // 16-bit values, as doubles
    };
    std::vector<Section> sections;
};

// The most samples a section keeps: a screen of 2000 ms holds 2001.
constexpr size_t kMaxWaveformSamples = 2001;

// False when the text does not start with "#" (the file's only format
// check); `out` is then untouched.
bool ReadWaveformText(const std::string& text, WaveformRecall& out);
