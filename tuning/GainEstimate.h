#pragma once
// The arithmetic of the manual gain estimate: the bandwidth ranges of a
// stiffness, the shortest position-loop response time, the five gains from
// the stiffness tables, and the ranges the drive accepts for them. Integer
// arithmetic; divisions truncate toward zero.

#include "platform/NumberText.h"  // LeadingInteger, which the estimate reads its fields with

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The five rows of the estimate, in the view's order.
enum GainRow { RowPr10, RowPr11, RowPr12, RowPr14, RowPr20, kGainRowCount };

struct GainParameter {
    uint16_t reg;
    int min;
    int max;
    const char* rangeText;  // appended to the out-of-range message
    const char* name;       // "Pr.10"
};
extern const std::array<GainParameter, kGainRowCount> kGainParameters;

struct IntRange {
    int lo;
    int hi;
    bool contains(int v) const { return lo <= v && v <= hi; }
};

constexpr int kMaxBandwidth = 320;
constexpr int kMaxResponseTime = 100000;
constexpr int kMaxInertiaRatio = 10000;

// The range the bandwidth label shows: A[s-1] + 1 (1 for s = 0) to
// A[s+1] - 1 (320 for s = 15).
IntRange BandwidthLabelRange(int stiffness);
// The range the bandwidth input accepts: A[s-1] (1) to A[s+1] (320).
IntRange AcceptedBandwidth(int stiffness);
// 100000 / (bandwidth x 3.14159), truncated; for a bandwidth of at least 1.
int ShortestResponseTime(int bandwidth);
// 100000 / D[s]: the response time a stiffness suggests.
int DefaultResponseTime(int stiffness);


struct EstimateInput {
    int stiffness = 0;
    int bandwidth = 0;
    int responseTime = 0;
    int shortestResponseTime = 0;  // from the last accepted bandwidth
    std::string inertiaText;
};

struct EstimateOutcome {
    // Filled in row order until a refusal; earlier results stay in place.
    std::array<std::optional<std::string>, kGainRowCount> results;
    unsigned refusalText = 0;  // 444 to 447; 0 when every gain was computed
    std::optional<std::string> responseTimeCorrection;  // put into the input
    std::optional<std::string> bandwidthCorrection;
    bool complete() const { return refusalText == 0; }
};

EstimateOutcome EstimateGains(const EstimateInput& input);

// The first of the five texts outside its parameter's range, or -1.
int FirstGainOutOfRange(const std::array<std::string, kGainRowCount>& values);
// "Parameter setting value out of range!" and the row's range.
std::string GainRangeMessage(int row);
