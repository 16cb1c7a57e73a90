#pragma once
// The channel list under the scope screen: one row per channel with its
// colour, name, description, limits, newest shown value and unit.

#include "scope/ScopeBuffers.h"

#include <QTableWidget>

class ScopeSession;

class ScopeChannelList : public QTableWidget {
    Q_OBJECT
public:
    explicit ScopeChannelList(QWidget* parent = nullptr);
    // The limits and each channel's newest shown sample.
    void refresh(const ScopeSession& session, const ChannelSamples& samples);

    // "%.0f" of the newest shown sample; "0" for none, and for Speed,
    // Torque and Speed Command beyond +-6000, which no drive reports.
    static QString CurrentValueText(int channel, const std::vector<double>& samples, int captureLength);
    // "%.0f", or "%.0e" for Pulse Deviation.
    static QString LimitText(int channel, double value);

private:
    void setCell(int row, int column, const QString& text);
};
