#include "app/CQDDToolsViewDlg.h"

#include "app/ParameterValueText.h"
#include "texts/LoadText.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QString text(unsigned id) { return QString::fromStdString(LoadText(id)); }
}  // namespace

CQDDToolsViewDlg::CQDDToolsViewDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("CQDDToolsViewDlg");
    const ParameterDialogIo& io = ParameterDialogExchange();
    setWindowTitle(text(296));
    auto* layout = new QVBoxLayout(this);

    auto* definition = new QLabel(QString::fromStdString(io.definition), this);
    definition->setObjectName("definitionLabel");
    QFont font = definition->font();
    font.setPointSize(12);
    definition->setFont(font);
    definition->setStyleSheet("color: rgb(0,0,128);");
    layout->addWidget(definition);

    auto* parameterGroup = new QGroupBox(text(297), this);
    auto* number = new QLabel(QString::fromStdString(ParameterNumberText(io.parameter)), parameterGroup);
    number->setObjectName("parameterNumber");
    (new QHBoxLayout(parameterGroup))->addWidget(number);
    layout->addWidget(parameterGroup);

    auto* valueGroup = new QGroupBox(text(298), this);
    valueEdit_ = new QLineEdit(
        QString::fromStdString(ParameterValueText(io.parameter, io.currentValue)), valueGroup);
    valueEdit_->setObjectName("valueEdit");
    valueEdit_->setAlignment(Qt::AlignRight);
    (new QHBoxLayout(valueGroup))->addWidget(valueEdit_);
    layout->addWidget(valueGroup);

    auto* promptGroup = new QGroupBox(text(299), this);
    auto* prompt = new QLabel(text(300), promptGroup);
    prompt->setWordWrap(true);
    (new QHBoxLayout(promptGroup))->addWidget(prompt);
    layout->addWidget(promptGroup);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), text(211), this);
    auto* cancel =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), text(212), this);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CQDDToolsViewDlg::confirm);
    connect(cancel, &QPushButton::clicked, this, &CQDDToolsViewDlg::discard);
}

void CQDDToolsViewDlg::confirm()
{
    ParameterDialogIo& io = ParameterDialogExchange();
    io.newValue = ParseLeadingDecimal(valueEdit_->text().toStdString());
    io.newValue16 = static_cast<uint16_t>(io.newValue & 0xFFFF);
    io.cancelled = 0;
    accept();
}

void CQDDToolsViewDlg::discard()
{
    reject();
}

void CQDDToolsViewDlg::reject()
{
    ParameterDialogExchange().cancelled = 1;
    QDialog::reject();
}
