#include "tuning/ui/CEstimateII_View.h"

#include "link/LinkState.h"
#include "link/ui/CMessageEx.h"
#include "platform/UserPrompt.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"
#include "tuning/GainSnapshot.h"
#include "tuning/GainTransfer.h"
#include "tuning/ui/AutoTuningPanel.h"
#include "tuning/ui/ManualEstimatePanel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

CEstimateII_View::CEstimateII_View(const EstimateViewContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      manualRadio_(new QRadioButton(LoadQText(423), this)),
      autoRadio_(new QRadioButton(LoadQText(424), this)),
      progress_(new QProgressBar(this)),
      manual_(new ManualEstimatePanel(context.online, !context.autoTuningAllowed(), progress_, this)),
      auto_(new AutoTuningPanel(this)),
      eeprom_(new QPushButton(LoadQText(440), this)),
      showModified_(new QPushButton(LoadQText(442), this)),
      prompt_(new QLabel(LoadQText(443), this)),
      exit_(new QToolButton(this))
{
    setObjectName("EstimateView");
    auto* method = new QGroupBox(LoadQText(410), this);
    auto* methodLayout = new QHBoxLayout(method);
    methodLayout->addWidget(manualRadio_);
    methodLayout->addWidget(autoRadio_);

    auto* step5 = new QGroupBox(LoadQText(415), this);
    auto* step5Layout = new QHBoxLayout(step5);
    step5Layout->addWidget(eeprom_);
    step5Layout->addWidget(showModified_);
    auto* promptGroup = new QGroupBox(LoadQText(422), this);
    prompt_->setWordWrap(true);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    (new QVBoxLayout(promptGroup))->addWidget(prompt_);

    // The manual steps and the save on the left, auto tuning and the prompt
    // on the right: the whole view fits its 800 x 600 window.
    auto* left = new QVBoxLayout;
    left->addWidget(manual_);
    left->addWidget(step5);
    auto* right = new QVBoxLayout;
    right->addWidget(auto_);
    right->addWidget(promptGroup, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);

    progress_->setRange(0, 5);
    progress_->setValue(0);
    exit_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    exit_->setToolTip("Exit this View.");
    auto* last = new QHBoxLayout;
    last->addWidget(progress_, 1);
    last->addWidget(exit_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(method);
    layout->addLayout(columns, 1);
    layout->addLayout(last);

    // Tight spacing: the two methods side by side fill the 800 x 600 window.
    for (QLayout* inner : findChildren<QLayout*>()) {
        inner->setSpacing(3);
        if (inner != layout)
            inner->setContentsMargins(6, 2, 6, 2);
    }

    connect(manualRadio_, &QRadioButton::clicked, this, &CEstimateII_View::chooseManual);
    connect(autoRadio_, &QRadioButton::clicked, this, &CEstimateII_View::chooseAuto);
    connect(eeprom_, &QPushButton::clicked, this, &CEstimateII_View::writeEeprom);
    connect(showModified_, &QPushButton::clicked, this, &CEstimateII_View::showModified);
    connect(exit_, &QToolButton::clicked, this, &CEstimateII_View::exitView);
    connect(manual_, &ManualEstimatePanel::prompt, prompt_, &QLabel::setText);

    // Off line nothing reaches a drive; on line the snapshot is the "before"
    // of the change list.
    eeprom_->setEnabled(context_.online);
    if (context_.online)
        ReadGainSnapshot(CurrentGainSnapshot());
    useMethod(!context_.autoTuningAllowed());
}

void CEstimateII_View::useMethod(bool manual)
{
    manualRadio_->setChecked(manual);
    autoRadio_->setChecked(!manual);
    manual_->setActive(manual);
    auto_->setActive(!manual);
    showModified_->setEnabled(context_.online && !manual);
}

void CEstimateII_View::chooseManual()
{
    useMethod(true);
}

void CEstimateII_View::chooseAuto()
{
    if (context_.autoTuningAllowed()) {
        prompt_->setText(LoadQText(460));
        useMethod(false);
        return;
    }
    useMethod(true);
    platform::userPrompt().messageBox(
        context_.online ? LoadText(424) + LoadText(462) + " VR_006 / VR_101 /  VR_201" : LoadText(461), "Error");
}

void CEstimateII_View::writeEeprom()
{
    auto& prompt = platform::userPrompt();
    if (prompt.messageBox(LoadText(338), "Warning", platform::PromptButtons::OkCancel,
                          platform::PromptIcon::Warning) != platform::PromptOk)
        return;
    linkState().commandWait = CommandWaitRequest{LoadText(306), LoadText(339), 2, kEepromSaveRegister & 0xFF};
    bool accepted = false;
    {
        CMessageEx wait(this);
        wait.exec();
        accepted = wait.commandWait().accepted();
    }
    if (EepromSaveConfirmed(context_.driveClass, accepted))
        prompt.messageBox(LoadText(311), "Remind");
    else
        prompt.messageBox(LoadText(308), "Error");
}

void CEstimateII_View::showModified()
{
    std::string text;
    if (!ReadChangeList(text)) {
        platform::userPrompt().messageBox(LoadText(409), "Error");
        return;
    }
    platform::userPrompt().messageBox(text, LoadText(459));
}

void CEstimateII_View::exitView()
{
    auto_->setActive(false);
    for (QWidget* w = this; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w))
            return void(frame->close());
    close();
}
