#include "tuning/GainEstimate.h"

#include "texts/LoadText.h"
#include "tuning/StiffnessTables.h"


const std::array<GainParameter, kGainRowCount> kGainParameters = {{
    {0x10, 1, 2000, " Pr.10: 1~2000", "Pr.10"},
    {0x11, 1, 3500, " Pr.11: 1~3500", "Pr.11"},
    {0x12, 1, 1000, " Pr.12: 1~1000", "Pr.12"},
    {0x14, 25, 2500, " Pr.14: 25~2500", "Pr.14"},
    {0x20, 0, 10000, "Pr.20: 0~10000", "Pr.20"},
}};

namespace {

const auto& A = StiffnessTables::bandwidth;

int clampStiffness(int s) { return s < 0 ? 0 : (s > kMaxStiffness ? kMaxStiffness : s); }

// Interpolates a table between the breakpoints k1 and k2 at the bandwidth.
int interpolate(const std::array<uint8_t, kStiffnessLevels>& table, int k1, int k2, int bandwidth)
{
    return table[k1] - ((table[k1] - table[k2]) * (A[k1] - bandwidth)) / (A[k1] - A[k2]);
}

}  // namespace

IntRange BandwidthLabelRange(int stiffness)
{
    const int s = clampStiffness(stiffness);
    return {s == 0 ? 1 : A[s - 1] + 1, s == kMaxStiffness ? kMaxBandwidth : A[s + 1] - 1};
}

IntRange AcceptedBandwidth(int stiffness)
{
    const int s = clampStiffness(stiffness);
    return {s == 0 ? 1 : A[s - 1], s == kMaxStiffness ? kMaxBandwidth : A[s + 1]};
}

int ShortestResponseTime(int bandwidth)
{
    if (bandwidth < 1)
        return kMaxResponseTime;  // no bandwidth: nothing is fast enough
    return static_cast<int>(100000.0 / (bandwidth * 3.14159));
}

int DefaultResponseTime(int stiffness)
{
    return 100000 / StiffnessTables::positionGain[clampStiffness(stiffness)];
}

EstimateOutcome EstimateGains(const EstimateInput& in)
{
    EstimateOutcome out;
    const int s = clampStiffness(in.stiffness);
    const int bw = in.bandwidth;
    const int t = in.responseTime;
    const int tmin = in.shortestResponseTime;

    // A response time of 0 or less would divide by zero below.
    if (t > kMaxResponseTime || tmin > t || t < 1) {
        out.refusalText = 444;
        out.responseTimeCorrection = std::to_string(t > kMaxResponseTime ? kMaxResponseTime : (tmin < 1 ? 1 : tmin));
        return out;
    }
    out.results[RowPr10] = std::to_string(100000 / t);

    if (bw > kMaxBandwidth || bw < 1) {
        out.refusalText = 445;
        if (bw < 1)
            out.bandwidthCorrection = "1";
        return out;
    }
    out.results[RowPr11] = std::to_string(bw);

    if (s < kMaxStiffness && A[s + 1] <= bw) {
        out.refusalText = 446;
        return out;
    }
    if (s > 0 && A[s - 1] >= bw) {
        out.refusalText = 447;
        return out;
    }

    const bool below = (s > 0 && A[s] > bw) || s == kMaxStiffness;
    const int k1 = below ? s - 1 : s;
    const int k2 = below ? s : s + 1;
    out.results[RowPr12] = std::to_string(interpolate(StiffnessTables::integralTime, k1, k2, bw));
    out.results[RowPr14] = std::to_string(interpolate(StiffnessTables::torqueFilter, k1, k2, bw));
    out.results[RowPr20] = in.inertiaText;
    return out;
}

int FirstGainOutOfRange(const std::array<std::string, kGainRowCount>& values)
{
    for (int row = 0; row < kGainRowCount; ++row) {
        const int v = LeadingInteger(values[row]);
        if (v < kGainParameters[row].min || v > kGainParameters[row].max)
            return row;
    }
    return -1;
}

std::string GainRangeMessage(int row)
{
    if (row < 0 || row >= kGainRowCount)
        return {};
    return LoadText(355) + kGainParameters[row].rangeText;
}
