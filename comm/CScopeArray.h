#pragma once
// A fixed ring of three-channel scope samples with a level trigger and a
// window trigger tested half a ring behind the write point, a time axis
// rebuilt from the stream's 5-bit stamps, a text export and a line plot.

#include "QDCommExport.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;
class QRect;

// One scope sample: its stream stamp, the rebuilt time and three channels.
struct QDCOMM_API ScopeRecord {
    uint32_t stamp = 0;
    double time = 0.0;  // in stamp units, filled by ArrangeTimeAxis
    int32_t channel[3] = {0, 0, 0};
};

class QDCOMM_API CScopeArray {
public:
    // With bit 9 of Plot's channel argument set, white dots mark each point.
    static constexpr int kPlotMarkers = 0x200;

    // Rings shorter than 2 cannot hold the trigger pair and are made 2 long.
    explicit CScopeArray(int size);
    ~CScopeArray();
    CScopeArray(const CScopeArray&) = default;
    CScopeArray& operator=(const CScopeArray&) = default;

    int Add(unsigned long stamp, int channel0, int channel1, int channel2);
    int MoveNext();
    int GetAhead() const { return m_Ahead; }
    int GetTail() const { return m_Tail; }
    int GetTrigger() const { return m_Trigger; }
    int GetSize() const { return m_Size; }
    // The record at a ring slot; other indices are taken modulo the size.
    const ScopeRecord& At(int index) const {
        return m_Records[static_cast<size_t>((index % m_Size + m_Size) % m_Size)];
    }

    void TriggerSetup(long level, int edge, int channel);
    int TriggerDetect() const;
    void OutBoundsTriggerSetup(long upper, long lower, int channel);
    int OutBoundsTriggerDetect(long* value) const;

    // The step from *last to current, folded back when a counter of `span`
    // values wrapped between them; *last becomes current.
    long IncrementCross(long current, long* last, long span, long threshold) const;

    void ArrangeTimeAxis();
    // Appends one text line per record, oldest first, to the file (created
    // when missing; a symbolic link is followed); 1 on success.
    int SaveToFile(const char* path) const;
    // Draws one channel as a polyline scaled into the rectangle's size, at
    // the painter's origin. `colour` is 0xRRGGBB; `fullScale` is the value
    // that spans the full height.
    void Plot(QPainter& painter, const QRect& rectangle, unsigned long colour, int channel,
              double fullScale);

    int LastPlotX() const { return m_LastX; }
    int LastPlotY() const { return m_LastY; }

private:
    int Wrap(int index) const { return index % m_Size; }
    void Advance();
    static int32_t ChannelValue(const ScopeRecord& record, int channel);

    int m_Ahead;       // slot written next, also the oldest sample
    int m_Tail;        // m_Ahead + 1
    int m_PreTrigger;  // m_Trigger - 1
    int m_Trigger;
    int m_Size;
    long m_TriggerLevel = 0;
    int m_TriggerEdge = 0;  // 0 rising, 1 falling
    int m_TriggerChannel = 0;
    long m_UpperBound = 0;
    long m_LowerBound = 0;
    int m_BoundChannel = 0;
    int m_LastX = 0;
    int m_LastY = 0;
    std::vector<ScopeRecord> m_Records;
};
