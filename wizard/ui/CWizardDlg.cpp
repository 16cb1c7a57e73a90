#include "wizard/ui/CWizardDlg.h"

#include "platform/UserPrompt.h"
#include "texts/LoadText.h"
#include "texts/QtText.h"
#include "wizard/DiagramArt.h"
#include "wizard/LinkWizardDrive.h"
#include "wizard/ParameterRangeTable.h"
#include "wizard/PulseInputTypes.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kHelpWidth = 400;
constexpr unsigned kOk = 211;
constexpr unsigned kCancel = 212;

QLabel* wrappedLabel(const QString& content, QWidget* parent)
{
    auto* label = new QLabel(content, parent);
    label->setWordWrap(true);
    label->setMinimumWidth(kHelpWidth);
    return label;
}

// The value as the person thinks of it: signed where the range is.
QString shownValue(uint8_t parameter, uint16_t value)
{
    const ParameterRange* range = FindParameterRange(parameter);
    if (range && range->isSigned)
        return QString::number(static_cast<int16_t>(value));
    return QString::number(value);
}

std::vector<QRadioButton*> buttonsOf(QButtonGroup* group)
{
    std::vector<QRadioButton*> result;
    if (!group)
        return result;
    for (QAbstractButton* button : group->buttons())
        result.push_back(static_cast<QRadioButton*>(button));
    return result;
}

}  // namespace

CWizardDlg::CWizardDlg(WizardDialogId id, QWidget* parent, WizardDrive* drive)
    : QDialog(parent), dialog_(WizardDialogOf(id)), session_(dialog_, drive ? *drive : LinkDrive())
{
    setObjectName(dialog_.className);
    setWindowTitle(dialog_.caption);
    auto* layout = new QVBoxLayout(this);
    for (size_t i = 0; i < dialog_.sections.size(); ++i)
        buildSection(layout, dialog_.sections[i], i == 0, i + 1 == dialog_.sections.size());

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(LoadQText(kOk), QDialogButtonBox::AcceptRole);
    ok_->setObjectName("okButton");
    ok_->setDefault(true);
    QPushButton* cancel = buttons->addButton(LoadQText(kCancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancelButton");
    connect(ok_, &QPushButton::clicked, this, &CWizardDlg::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CWizardDlg::buildSection(QVBoxLayout* layout, const WizardSection& section, bool first, bool last)
{
    auto* group = new QGroupBox(LoadQText(section.titleTextId), this);
    auto* columns = new QHBoxLayout(group);
    auto* inner = new QVBoxLayout();
    columns->addLayout(inner);
    inner->addWidget(wrappedLabel(LoadQText(section.helpTextId), group));
    if (!section.fields.empty()) {
        auto* form = new QFormLayout();
        for (const WizardField& field : section.fields) {
            auto* edit = new QLineEdit(group);
            edit->setObjectName("valuePr" + QString("%1").arg(field.parameter, 2, 16, QChar('0')).toUpper());
            edit->setMaximumWidth(120);
            form->addRow(LoadQText(field.labelTextId), edit);
            edits_.push_back(edit);
        }
        inner->addLayout(form);
    }
    if (first && dialog_.control != WizardControl::Edits) {
        options_ = new QButtonGroup(this);
        addOptions(inner, options_, dialog_.options);
    }
    if (last)
        for (unsigned id : dialog_.noteTextIds)
            inner->addWidget(wrappedLabel(LoadQText(id), group));
    inner->addStretch();
    if (first && dialog_.control == WizardControl::PulseInput)
        columns->addLayout(pulseTypes());  // beside the help
    layout->addWidget(group);
}

void CWizardDlg::addOptions(QVBoxLayout* layout, QButtonGroup* group, const std::vector<WizardOption>& options)
{
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i].headingTextId != 0) {
            auto* heading = new QLabel(LoadQText(options[i].headingTextId), this);
            QFont bold = heading->font();
            bold.setBold(true);
            heading->setFont(bold);
            layout->addWidget(heading);
        }
        auto* button = new QRadioButton(LoadQText(options[i].textId), this);
        button->setObjectName(QString("option%1").arg(i));
        group->addButton(button, static_cast<int>(i));
        layout->addWidget(button);
    }
}

QLayout* CWizardDlg::pulseTypes()
{
    // Each type's option button beside its pulse form.
    types_ = new QButtonGroup(this);
    auto* grid = new QGridLayout();
    grid->setVerticalSpacing(2);
    auto* heading = new QLabel(this);
    heading->setPixmap(QPixmap::fromImage(DrawPulseFormsHeading()));
    grid->addWidget(heading, 0, 1);
    for (int type = 0; type < kPulseInputTypeCount; ++type) {
        auto* button = new QRadioButton(QString("Type %1").arg(type + 1), this);
        button->setObjectName(QString("type%1").arg(type));
        types_->addButton(button, type);
        auto* form = new QLabel(this);
        form->setObjectName(QString("pulseForm%1").arg(type));
        form->setPixmap(QPixmap::fromImage(DrawPulseForm(type)));
        grid->addWidget(button, type + 1, 0);
        grid->addWidget(form, type + 1, 1);
    }
    grid->setRowStretch(kPulseInputTypeCount + 1, 1);
    return grid;
}

std::vector<QRadioButton*> CWizardDlg::optionButtons() const
{
    return buttonsOf(options_);
}

std::vector<QRadioButton*> CWizardDlg::typeButtons() const
{
    return buttonsOf(types_);
}

int CWizardDlg::exec()
{
    bool loaded = false;
    {
        platform::WaitCursor wait;
        loaded = session_.load();
    }
    if (!loaded) {
        if (const unsigned message = session_.loadFailureMessage())
            platform::userPrompt().messageBox(LoadText(message), "Error");
        return QDialog::Rejected;
    }
    showValues();
    return QDialog::exec();
}

void CWizardDlg::showValues()
{
    const std::vector<uint8_t> parameters = dialog_.parameters();
    const std::vector<uint16_t>& values = session_.values();
    for (size_t i = 0; i < edits_.size() && i < values.size(); ++i)
        edits_[i]->setText(shownValue(parameters[i], values[i]));
    if (options_ && session_.preselectedOption() >= 0)
        options_->button(session_.preselectedOption())->setChecked(true);
    if (types_ && session_.preselectedPulseType() >= 0)
        types_->button(session_.preselectedPulseType())->setChecked(true);
}

void CWizardDlg::confirm()
{
    WizardOutcome outcome;
    {
        platform::WaitCursor wait;
        switch (dialog_.control) {
        case WizardControl::Edits: {
            std::vector<std::string> texts;
            for (QLineEdit* edit : edits_)
                texts.push_back(edit->text().toStdString());
            outcome = session_.applyEdits(texts);
            break;
        }
        case WizardControl::Options:
            outcome = session_.applyOption(options_->checkedId());
            break;
        case WizardControl::PulseInput:
            outcome = session_.applyPulseInput(options_->checkedId(), types_->checkedId());
            break;
        }
    }
    if (outcome.messageTextId == 0) {
        accept();
        return;
    }
    platform::userPrompt().messageBox(LoadText(outcome.messageTextId), "Error");
    if (outcome.close)
        reject();
}

void CWizardDlg::run(WizardDialogId id, QWidget* parent)
{
    CWizardDlg dialog(id, parent);
    dialog.exec();
}
