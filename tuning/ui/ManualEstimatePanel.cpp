#include "tuning/ui/ManualEstimatePanel.h"

#include "platform/UserPrompt.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"
#include "tuning/GainTransfer.h"
#include "tuning/StiffnessTables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString LoadQText(const std::string& s) { return QString::fromStdString(s); }

void setTextIfChanged(QLineEdit* edit, const std::string& text)
{
    if (edit->text() != LoadQText(text))
        edit->setText(LoadQText(text));
}

QLineEdit* readOnlyField(QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    return field;
}

}  // namespace

ManualEstimatePanel::ManualEstimatePanel(bool online, bool manualMethod, QProgressBar* progress, QWidget* parent)
    : QWidget(parent),
      form_(online, manualMethod),
      progress_(progress),
      inertia_(new QLineEdit(this)),
      stiffness_(new QComboBox(this)),
      bandwidth_(new QLineEdit(this)),
      responseTime_(new QLineEdit(this)),
      bandwidthLabel_(new QLabel(this)),
      responseTimeLabel_(new QLabel(this)),
      estimate_(new QPushButton(LoadQText(438), this)),
      modify_(new QCheckBox(LoadQText(437), this)),
      transfer_(new QPushButton(LoadQText(439), this)),
      read_(new QPushButton(LoadQText(441), this)),
      stiffnessTimer_(new QTimer(this))
{
    for (QLineEdit* input : {inertia_, bandwidth_, responseTime_})
        input->setValidator(new QIntValidator(-999999, 999999, input));
    for (int s = 0; s < kStiffnessLevels; ++s)
        stiffness_->addItem(QString::number(s));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildInputs());
    layout->addWidget(buildGainTable());
    auto* step4 = new QGroupBox(LoadQText(414), this);
    auto* step4Layout = new QGridLayout(step4);
    step4Layout->addWidget(modify_, 0, 0, 1, 2);
    step4Layout->addWidget(transfer_, 1, 0);
    step4Layout->addWidget(read_, 1, 1);
    layout->addWidget(step4);

    helpOnFocus(stiffness_, 449);
    helpOnFocus(inertia_, 450);
    helpOnFocus(responseTime_, 451);
    helpOnFocus(bandwidth_, 452);
    for (int row = 0; row < kGainRowCount; ++row)
        helpOnFocus(now_[row], 453 + row);

    stiffnessTimer_->setSingleShot(true);
    stiffnessTimer_->setInterval(kStiffnessDelayMs);
    connect(stiffness_, &QComboBox::activated, stiffnessTimer_, qOverload<>(&QTimer::start));
    connect(stiffnessTimer_, &QTimer::timeout, this, &ManualEstimatePanel::chooseStiffness);
    connect(inertia_, &QLineEdit::textEdited, this, [this](const QString& t) { form_.inertiaEdited(t.toStdString()); sync(); });
    connect(bandwidth_, &QLineEdit::textEdited, this, [this](const QString& t) { form_.bandwidthEdited(t.toStdString()); sync(); });
    connect(responseTime_, &QLineEdit::textEdited, this, [this](const QString& t) { form_.responseTimeEdited(t.toStdString()); sync(); });
    for (int row = 0; row < kGainRowCount; ++row)
        connect(now_[row], &QLineEdit::textEdited, this, [this, row](const QString& t) { form_.nowEdited(row, t.toStdString()); });
    connect(estimate_, &QPushButton::clicked, this, &ManualEstimatePanel::estimateGain);
    connect(modify_, &QCheckBox::clicked, this, &ManualEstimatePanel::toggleModify);
    connect(transfer_, &QPushButton::clicked, this, &ManualEstimatePanel::transfer);
    connect(read_, &QPushButton::clicked, this, &ManualEstimatePanel::readFromServo);
    sync();
}

QWidget* ManualEstimatePanel::buildInputs()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    // Labels above their inputs: the range texts make them long.
    auto* step1 = new QGroupBox(LoadQText(411), box);
    auto* column1 = new QVBoxLayout(step1);
    column1->addWidget(new QLabel(LoadQText(425), step1));
    column1->addWidget(inertia_);
    auto* stiffnessRow = new QHBoxLayout;
    stiffnessRow->addWidget(new QLabel(LoadQText(426), step1));
    stiffnessRow->addWidget(stiffness_, 1);
    column1->addLayout(stiffnessRow);
    row->addWidget(step1);

    auto* step2 = new QGroupBox(LoadQText(412), box);
    auto* grid2 = new QGridLayout(step2);
    grid2->addWidget(bandwidthLabel_, 0, 0, 1, 2);
    grid2->addWidget(bandwidth_, 1, 0);
    grid2->addWidget(responseTimeLabel_, 2, 0, 1, 2);
    grid2->addWidget(responseTime_, 3, 0);
    grid2->addWidget(estimate_, 3, 1);
    row->addWidget(step2, 1);
    return box;
}

QWidget* ManualEstimatePanel::buildGainTable()
{
    auto* step3 = new QGroupBox(LoadQText(413), this);
    auto* grid = new QGridLayout(step3);
    for (int column = 0; column < 3; ++column)
        grid->addWidget(new QLabel(LoadQText(434 + column), step3), 0, column + 1, Qt::AlignCenter);
    for (int row = 0; row < kGainRowCount; ++row) {
        grid->addWidget(new QLabel(LoadQText(429 + row), step3), row + 1, 0);
        previous_[row] = readOnlyField(step3);
        now_[row] = readOnlyField(step3);
        driver_[row] = readOnlyField(step3);
        now_[row]->setObjectName(QString("now%1").arg(row));
        grid->addWidget(previous_[row], row + 1, 1);
        grid->addWidget(now_[row], row + 1, 2);
        grid->addWidget(driver_[row], row + 1, 3);
    }
    return step3;
}

void ManualEstimatePanel::helpOnFocus(QWidget* field, unsigned textId)
{
    helpTexts_[field] = textId;
    field->installEventFilter(this);
}

bool ManualEstimatePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        const auto help = helpTexts_.find(watched);
        if (help != helpTexts_.end())
            emit prompt(LoadQText(help->second));
    }
    return QWidget::eventFilter(watched, event);
}

void ManualEstimatePanel::setActive(bool active)
{
    if (active)
        form_.activate();
    else
        form_.deactivate();
    sync();
}

void ManualEstimatePanel::sync()
{
    const auto& on = form_.enables();
    setTextIfChanged(inertia_, form_.inertiaText());
    setTextIfChanged(bandwidth_, form_.bandwidthText());
    setTextIfChanged(responseTime_, form_.responseTimeText());
    bandwidthLabel_->setText(LoadQText(form_.bandwidthLabel()));
    responseTimeLabel_->setText(LoadQText(form_.responseTimeLabel()));
    inertia_->setEnabled(on.inertia);
    stiffness_->setEnabled(on.stiffnessList);
    bandwidth_->setEnabled(on.bandwidth);
    responseTime_->setEnabled(on.responseTime);
    estimate_->setEnabled(on.estimate);
    modify_->setEnabled(on.modifyCheck);
    modify_->setChecked(form_.modifyChecked());
    transfer_->setEnabled(on.transfer);
    read_->setEnabled(on.read);
    for (int row = 0; row < kGainRowCount; ++row) {
        setTextIfChanged(previous_[row], form_.previous()[row]);
        setTextIfChanged(now_[row], form_.now()[row]);
        setTextIfChanged(driver_[row], form_.driver()[row]);
        now_[row]->setEnabled(on.now[row]);
        now_[row]->setReadOnly(!form_.nowEditable());
    }
}

void ManualEstimatePanel::chooseStiffness()
{
    form_.stiffnessChosen(stiffness_->currentIndex());
    sync();
}

void ManualEstimatePanel::estimateGain()
{
    const std::optional<EstimateOutcome> outcome = form_.estimate();
    sync();
    if (!outcome)
        return;
    if (outcome->complete())
        emit prompt(LoadQText(448));
    else
        platform::userPrompt().messageBox(LoadText(outcome->refusalText), "Error");
}

void ManualEstimatePanel::toggleModify(bool checked)
{
    const std::string message = form_.modifyToggled(checked);
    sync();
    if (!message.empty())
        platform::userPrompt().messageBox(message, "Error");
}

void ManualEstimatePanel::transfer()
{
    GainValues values{};
    for (int row = 0; row < kGainRowCount; ++row)
        values[row] = static_cast<uint16_t>(LeadingInteger(form_.now()[row]));
    progress_->setRange(0, kGainRowCount);
    int failed = -1;
    {
        platform::WaitCursor wait;
        failed = TransferGains(values, [this](int row) {
            form_.setDriverText(row, form_.now()[row]);
            progress_->setValue(std::min(row + 2, int(kGainRowCount)));
            sync();
        });
    }
    progress_->setValue(0);
    if (failed >= 0)
        platform::userPrompt().messageBox(std::string(kGainParameters[failed].name) + " " + LoadText(308), "Error");
}

void ManualEstimatePanel::readFromServo()
{
    GainValues values{};
    progress_->setRange(0, kGainRowCount);
    int failed = -1;
    {
        platform::WaitCursor wait;
        failed = ReadGains(values, [this, &values](int row) {
            form_.setDriverText(row, std::to_string(values[row]));
            progress_->setValue(row + 1);
            sync();
        });
    }
    progress_->setValue(0);
    if (failed >= 0)
        platform::userPrompt().messageBox(LoadText(409), "Error");
}
