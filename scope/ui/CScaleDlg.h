#pragma once
// The Scale tab: which channels are recorded and shown (at most three),
// each channel's Vol/Div and vertical position, and the Sec/Div time base.
// It edits the session's ScaleSettings and says when they changed.

#include "scope/ScopeChannels.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QSpinBox;
class ScaleSettings;

class CScaleDlg : public QWidget {
    Q_OBJECT
public:
    CScaleDlg(ScaleSettings& settings, QWidget* parent = nullptr);

    // Shows what the settings hold (after a file was read back, Auto Set).
    void syncFromSettings();
    // While the scope runs the channel boxes are locked; the lists stay usable.
    void setRunning(bool running);

    QCheckBox* channelBox(int channel) const { return boxes_[channel]; }
    QComboBox* volDivList(int channel) const { return volDiv_[channel]; }
    QComboBox* secDivList() const { return secDiv_; }
    QSpinBox* verticalField(int channel) const { return vertical_[channel]; }

signals:
    void settingsChanged();

private:
    void onChannelClicked(int channel, bool checked);
    void updateEnabled();

    ScaleSettings& settings_;
    bool running_ = false;
    QCheckBox* boxes_[kScopeChannelCount];
    QComboBox* volDiv_[kScopeChannelCount];
    QSpinBox* vertical_[kScopeChannelCount];
    QComboBox* secDiv_;
};
