// Cost of cutting frames out of captured bytes, of rebuilding the scope
// time axis and of drawing a full ring.
#include "comm/CCommPlot.h"
#include "comm/CScopeArray.h"
#include "comm/ModbusCrc.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <vector>

namespace {

// 500 seven-byte Modbus replies with one noise byte between each.
std::vector<unsigned char> capturedReplies() {
    std::vector<unsigned char> bytes;
    for (int i = 0; i < 500; ++i) {
        unsigned char frame[7] = {0x01, 0x03, 0x02, static_cast<unsigned char>(i >> 8),
                                  static_cast<unsigned char>(i), 0, 0};
        qdcomm::appendModbusCrc(frame, sizeof frame);
        bytes.insert(bytes.end(), frame, frame + 7);
        bytes.push_back(0xFF);
    }
    return bytes;
}

void BM_ExtractFramesFromFifo(benchmark::State& state) {
    const auto bytes = capturedReplies();
    CCommPlot plot;
    int frames = 0;
    for (auto _ : state) {
        for (size_t at = 0; at < bytes.size();) {
            at += static_cast<size_t>(plot.MB_Add(bytes.data() + at, static_cast<int>(bytes.size() - at)));
            while (plot.MB_GetQueueCnt() >= 7) frames += plot.MB_Extract(7) == CCommPlot::PlotDecoded;
        }
    }
    state.SetItemsProcessed(frames);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ExtractFramesFromFifo);

CScopeArray filledRing(int size) {
    CScopeArray ring(size);
    for (int i = 0; i < size; ++i) ring.Add(static_cast<unsigned long>(i % 32), (i * 37) % 2000 - 1000, i, -i);
    return ring;
}

void BM_ArrangeTimeAxis(benchmark::State& state) {
    CScopeArray ring = filledRing(static_cast<int>(state.range(0)));
    for (auto _ : state) ring.ArrangeTimeAxis();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ArrangeTimeAxis)->Arg(4096)->Arg(65536);

void BM_PlotRing(benchmark::State& state) {
    CScopeArray ring = filledRing(static_cast<int>(state.range(0)));
    ring.ArrangeTimeAxis();
    QImage image(800, 400, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::black);
        QPainter painter(&image);
        ring.Plot(painter, QRect(0, 0, 800, 400), 0x00FF00, 0, 2000);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlotRing)->Arg(4096);

}  // namespace
