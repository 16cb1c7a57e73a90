#include "scope/ui/CScaleDlg.h"

#include "platform/UserPrompt.h"
#include "scope/ScaleSettings.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

const char* const kVolDivUnits[kScopeChannelCount] = {"RPM", "0.1%", "2^n", "RPM"};

QComboBox* numberList(const std::vector<int>& entries, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (int entry : entries)
        list->addItem(QString::number(entry));
    list->setMaxVisibleItems(12);
    return list;
}

}  // namespace

CScaleDlg::CScaleDlg(ScaleSettings& settings, QWidget* parent) : QWidget(parent), settings_(settings)
{
    setObjectName("CScaleDlg");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(LoadQText(257), this), 0, 0);
    grid->addWidget(new QLabel(LoadQText(258), this), 0, 1, 1, 2);
    grid->addWidget(new QLabel(LoadQText(260), this), 0, 3);
    grid->addWidget(new QLabel(LoadQText(259), this), 0, 4, 1, 2);
    for (int c = 0; c < kScopeChannelCount; ++c) {
        boxes_[c] = new QCheckBox(LoadQText(ChannelInfo(c).nameTextId), this);
        volDiv_[c] = numberList(ScaleSettings::VolDivEntries(c), this);
        vertical_[c] = new QSpinBox(this);
        const int limit = ScaleSettings::VerticalFieldLimit(c);
        vertical_[c]->setRange(-limit, limit);
        vertical_[c]->setSingleStep(c == kDeviation ? 1 : 100);
        grid->addWidget(boxes_[c], c + 1, 0);
        grid->addWidget(volDiv_[c], c + 1, 1);
        grid->addWidget(new QLabel(kVolDivUnits[c], this), c + 1, 2);
        grid->addWidget(vertical_[c], c + 1, 3);
        connect(boxes_[c], &QCheckBox::clicked, this, [this, c](bool on) { onChannelClicked(c, on); });
        connect(volDiv_[c], QOverload<int>::of(&QComboBox::activated), this, [this, c](int index) {
            settings_.setVolDivIndex(c, index);
            emit settingsChanged();
        });
        connect(vertical_[c], QOverload<int>::of(&QSpinBox::valueChanged), this, [this, c](int value) {
            settings_.setVerticalField(c, value);
            emit settingsChanged();
        });
    }
    secDiv_ = numberList(ScaleSettings::SecDivEntries(), this);
    grid->addWidget(secDiv_, 1, 4);
    grid->addWidget(new QLabel("ms", this), 1, 5);
    connect(secDiv_, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        settings_.setSecDivIndex(index);
        emit settingsChanged();
    });
    grid->setColumnStretch(6, 1);
    syncFromSettings();
}

void CScaleDlg::onChannelClicked(int channel, bool checked)
{
    if (!settings_.setChecked(channel, checked)) {
        const QSignalBlocker quiet(boxes_[channel]);
        boxes_[channel]->setChecked(false);
        platform::userPrompt().messageBox(LoadText(268), "Warning");
        return;
    }
    updateEnabled();
    emit settingsChanged();
}

void CScaleDlg::syncFromSettings()
{
    for (int c = 0; c < kScopeChannelCount; ++c) {
        const QSignalBlocker quietBox(boxes_[c]), quietList(volDiv_[c]), quietField(vertical_[c]);
        boxes_[c]->setChecked(settings_.checked(c));
        volDiv_[c]->setCurrentIndex(settings_.volDivIndex(c));
        vertical_[c]->setValue(settings_.verticalField(c));
    }
    const QSignalBlocker quiet(secDiv_);
    secDiv_->setCurrentIndex(settings_.secDivIndex());
    updateEnabled();
}

void CScaleDlg::setRunning(bool running)
{
    running_ = running;
    updateEnabled();
}

void CScaleDlg::updateEnabled()
{
    for (int c = 0; c < kScopeChannelCount; ++c) {
        boxes_[c]->setEnabled(!running_);
        volDiv_[c]->setEnabled(settings_.checked(c));
        vertical_[c]->setEnabled(settings_.checked(c));
    }
    secDiv_->setEnabled(settings_.checkedCount() > 0);
}
