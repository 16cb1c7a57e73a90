#include "CScopeArray.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <charconv>
#include <cstdio>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Writes all bytes, going on after short writes and interruptions.
bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// "%d\t%f\t%d\t%d\t%d\t\n" with the time always written with a decimal
// point, whatever locale the program runs in.
std::string recordLine(const ScopeRecord& r) {
    char time[64];
    auto result = std::to_chars(time, time + sizeof time - 1, r.time, std::chars_format::fixed, 6);
    *result.ptr = '\0';
    char line[160];
    std::snprintf(line, sizeof line, "%d\t%s\t%d\t%d\t%d\t\n", static_cast<int>(r.stamp), time,
                  r.channel[0], r.channel[1], r.channel[2]);
    return line;
}

// Times that ran backwards after a stamp jump may land far off the
// rectangle; keep them inside what a painter coordinate can hold.
int toPixel(double value) {
    constexpr double kLimit = 1e6;
    if (!(value > -kLimit)) return static_cast<int>(-kLimit);
    if (value > kLimit) return static_cast<int>(kLimit);
    return static_cast<int>(value);
}

}  // namespace

CScopeArray::CScopeArray(int size)
    : m_Ahead(0), m_Tail(1), m_Size(size < 2 ? 2 : size) {
    m_Trigger = m_Size / 2;
    m_PreTrigger = m_Trigger - 1;
    m_Records.resize(static_cast<size_t>(m_Size));
}

CScopeArray::~CScopeArray() = default;

void CScopeArray::Advance() {
    m_Ahead = Wrap(m_Ahead + 1);
    m_Tail = Wrap(m_Tail + 1);
    m_PreTrigger = Wrap(m_PreTrigger + 1);
    m_Trigger = Wrap(m_Trigger + 1);
}

int CScopeArray::Add(unsigned long stamp, int channel0, int channel1, int channel2) {
    ScopeRecord& r = m_Records[static_cast<size_t>(m_Ahead)];
    r.stamp = static_cast<uint32_t>(stamp);
    r.time = 0.0;
    r.channel[0] = channel0;
    r.channel[1] = channel1;
    r.channel[2] = channel2;
    Advance();
    return m_Ahead;
}

int CScopeArray::MoveNext() {
    Advance();
    return m_Ahead;
}

int32_t CScopeArray::ChannelValue(const ScopeRecord& record, int channel) {
    return (channel >= 0 && channel <= 2) ? record.channel[channel] : 0;
}

void CScopeArray::TriggerSetup(long level, int edge, int channel) {
    m_TriggerLevel = level;
    m_TriggerEdge = edge;
    m_TriggerChannel = channel;
}

int CScopeArray::TriggerDetect() const {
    const long now = ChannelValue(At(m_Trigger), m_TriggerChannel);
    const long before = ChannelValue(At(m_PreTrigger), m_TriggerChannel);
    if (m_TriggerEdge == 0) return before <= m_TriggerLevel && m_TriggerLevel < now;
    if (m_TriggerEdge == 1) return now < m_TriggerLevel && m_TriggerLevel <= before;
    return 0;
}

void CScopeArray::OutBoundsTriggerSetup(long upper, long lower, int channel) {
    m_UpperBound = upper;
    m_LowerBound = lower;
    m_BoundChannel = channel;
}

int CScopeArray::OutBoundsTriggerDetect(long* value) const {
    const long now = ChannelValue(At(m_Trigger), m_BoundChannel);
    const long before = ChannelValue(At(m_PreTrigger), m_BoundChannel);
    const bool leftUpwards = before <= m_UpperBound && m_UpperBound < now;
    const bool leftDownwards = now < m_LowerBound && m_LowerBound <= before;
    if (!leftUpwards && !leftDownwards) return 0;
    if (value) *value = now;
    return 1;
}

long CScopeArray::IncrementCross(long current, long* last, long span, long threshold) const {
    const long step = current - *last;
    *last = current;
    if (step > threshold) return step - span;
    if (step < -threshold) return step + span;
    return step;
}

void CScopeArray::ArrangeTimeAxis() {
    int index = m_Ahead;
    ScopeRecord* previous = &m_Records[static_cast<size_t>(index)];
    previous->time = 0.0;
    for (int n = 1; n < m_Size; ++n) {
        index = Wrap(index + 1);
        ScopeRecord* record = &m_Records[static_cast<size_t>(index)];
        // Stamps count 0..31 and wrap; a step outside +-10 crossed the wrap.
        int64_t step = int64_t(record->stamp) - int64_t(previous->stamp);
        if (step > 10)
            step -= 32;
        else if (step < -10)
            step += 32;
        if (step > 20) step = 15;
        record->time = previous->time + double(step);
        previous = record;
    }
}

int CScopeArray::SaveToFile(const char* path) const {
    if (!path || !*path) return 0;
    std::string text;
    for (int n = 0, index = m_Ahead; n < m_Size; ++n, index = Wrap(index + 1))
        text += recordLine(At(index));
    // Appending to the file itself keeps a symbolic link, the file's mode
    // and owner, and needs no right to create files in its folder.
    const int out = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (out < 0) return 0;
    bool ok = writeAll(out, text);
    if (::close(out) != 0) ok = false;
    return ok ? 1 : 0;
}

void CScopeArray::Plot(QPainter& painter, const QRect& rectangle, unsigned long colour,
                       int channel, double fullScale) {
    const int width = rectangle.width();
    const int height = rectangle.height();
    const double newestTime = At(Wrap(m_Ahead + m_Size - 1)).time;
    // A ring without elapsed time or a zero scale has nothing to spread out.
    if (!(newestTime > 0.0) || fullScale == 0.0 || width <= 0 || height <= 0) return;
    const double xScale = width / newestTime;
    const double yScale = height / fullScale;
    const int valueChannel = channel & ~kPlotMarkers;
    const bool markers = (channel & kPlotMarkers) != 0;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPen linePen(QColor::fromRgb(static_cast<QRgb>(colour & 0xFFFFFFu)), 1, Qt::SolidLine);
    const QPen markerPen(Qt::white, 1);
    auto mark = [&](int x, int y) {
        if (!markers) return;
        painter.setPen(markerPen);
        painter.drawPoint(x - 1, y - 1);
        painter.drawPoint(x + 1, y - 1);
        painter.drawPoint(x - 1, y + 1);
        painter.drawPoint(x + 1, y + 1);
        painter.setPen(linePen);
    };
    painter.setPen(linePen);
    for (int n = 0, index = m_Ahead; n < m_Size; ++n, index = Wrap(index + 1)) {
        const ScopeRecord& record = At(index);
        double y = -ChannelValue(record, valueChannel) * yScale + height / 2.0;
        if (y >= height)
            y = height - 3;
        else if (y <= 0)
            y = 2;
        const int px = toPixel(record.time * xScale);
        const int py = toPixel(y);
        if (n == 0) {
            mark(px, py);
        } else if (px != m_LastX || py != m_LastY) {
            painter.drawLine(m_LastX, m_LastY, px, py);
            mark(px, py);
        }
        m_LastX = px;
        m_LastY = py;
    }
    painter.restore();
}
