#include "scope/ui/CTriggerDlg.h"

#include "scope/ScaleSettings.h"
#include "scope/ScopeAcquisition.h"
#include "texts/QtText.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

const char kDisable[] = "Disable";
const char* const kLevelUnits[kScopeChannelCount] = {"RPM", "0.10%", "Pulse", "RPM"};

QGroupBox* fieldGroup(unsigned captionId, QLineEdit* field, QLabel* unit, QWidget* parent)
{
    auto* group = new QGroupBox(LoadQText(captionId), parent);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(field);
    row->addWidget(unit);
    return group;
}

}  // namespace

CTriggerDlg::CTriggerDlg(LiveSettings& live, QWidget* parent)
    : QWidget(parent),
      live_(live),
      source_(new QComboBox(this)),
      horizontal_(new QLineEdit("50", this)),
      level_(new QLineEdit("10", this)),
      levelUnit_(new QLabel(this)),
      description_(new QLabel(this))
{
    setObjectName("CTriggerDlg");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->addWidget(new QLabel(LoadQText(261), this), 0, 0);
    grid->addWidget(source_, 1, 0);
    grid->addWidget(fieldGroup(262, horizontal_, new QLabel("Time %", this), this), 2, 0);
    grid->addWidget(fieldGroup(263, level_, levelUnit_, this), 3, 0);
    auto* about = new QGroupBox(LoadQText(264), this);
    auto* aboutLayout = new QHBoxLayout(about);
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    aboutLayout->addWidget(description_);
    grid->addWidget(about, 0, 1, 4, 1);
    grid->setColumnStretch(1, 1);
    source_->addItem(kDisable);
    for (QWidget* control : {static_cast<QWidget*>(source_), static_cast<QWidget*>(horizontal_),
                             static_cast<QWidget*>(level_)})
        control->installEventFilter(this);
    connect(source_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { onSourceChosen(); });
    connect(horizontal_, &QLineEdit::editingFinished, this, [this] { commit(); });
    connect(level_, &QLineEdit::editingFinished, this, [this] { commit(); });
    onSourceChosen();
    commit();
}

bool CTriggerDlg::refill(uint8_t mask)
{
    const QString shown = source_->currentText();
    source_->blockSignals(true);
    source_->clear();
    source_->addItem(kDisable);
    for (int c = 0; c < kScopeChannelCount; ++c)
        if (MaskSelects(mask, c))
            source_->addItem(LoadQText(ChannelInfo(c).nameTextId));
    int keep = 0;
    for (int i = source_->count() - 1; i > 0 && keep == 0; --i)
        if (source_->itemText(i) == shown)
            keep = i;
    source_->setCurrentIndex(keep);
    source_->blockSignals(false);
    onSourceChosen();
    return mask != 0;
}

int CTriggerDlg::triggerSource() const
{
    const QString chosen = source_->currentText();
    for (int c = 0; c < kScopeChannelCount; ++c)
        if (!chosen.isEmpty() && chosen == LoadQText(ChannelInfo(c).nameTextId))
            return c + 1;
    return 0;
}

void CTriggerDlg::commit()
{
    live_.horizontal = LeadingInteger(horizontal_->text().toStdString());
    live_.level = LeadingInteger(level_->text().toStdString());
}

void CTriggerDlg::setRunning(bool running)
{
    source_->setEnabled(!running);
}

void CTriggerDlg::focusHorizontal()
{
    horizontal_->selectAll();
    horizontal_->setFocus();
}

void CTriggerDlg::onSourceChosen()
{
    const int source = triggerSource();
    horizontal_->setEnabled(source != 0);
    level_->setEnabled(source != 0);
    levelUnit_->setText(source != 0 ? kLevelUnits[source - 1] : "");
}

bool CTriggerDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        const unsigned help = watched == source_ ? 265 : watched == horizontal_ ? 266 : 267;
        description_->setText(LoadQText(help));
    }
    return QWidget::eventFilter(watched, event);
}
