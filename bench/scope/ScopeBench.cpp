// Decode throughput of stream records and the paint time of one scope
// frame (1280 x 800, three channels of 2001 samples, 1-pixel pens).
#include "scope/ScopeRenderer.h"
#include "scope/ScopeSession.h"
#include "scope/StreamDecoder.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

void DecodeRecords(benchmark::State& state)
{
    // Payloads of every valid mask, in a buffer larger than the caches' first level.
    std::mt19937 random(7);
    std::vector<uint8_t> payloads(6 * 4096);
    for (uint8_t& byte : payloads)
        byte = static_cast<uint8_t>(random());
    DecodedRecord record;
    int64_t sum = 0;
    size_t at = 0;
    uint8_t mask = 1;
    for (auto _ : state) {
        DecodeStreamRecord(mask, &payloads[at], record);
        sum += record.value[0] + record.value[1] + record.value[2];
        at = (at + 6) % payloads.size();
        mask = mask == 14 ? 1 : mask + 1;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(DecodeRecords);

void PaintFrame(benchmark::State& state)
{
    ScopeSession session;
    for (int c : {kSpeed, kTorque, kCommand})
        session.scale().setChecked(c, true);
    session.scale().selectSecDivText("2000");
    session.refreshChannels();
    ChannelSamples samples;
    for (int i = 0; i <= 2000; ++i) {
        samples[kSpeed].push_back(2800 * std::sin(i / 160.0));
        samples[kTorque].push_back(900 * std::sin(i / 23.0));
        samples[kCommand].push_back((i / 250) % 2 ? 2500 : -2500);
    }
    const ScopeLayout layout = ScopeLayout::ForView(1280, 800);
    const ScreenTraces traces = session.screenTraces(layout.plot, samples);
    QImage image(1280, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        ScopeRenderer::PaintScreen(painter, layout.screen, traces);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PaintFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the labels
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
