#include "app/CQDDToolsViewDlg.h"

#include "app/ParameterValueText.h"
#include "texts/QtText.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CQDDToolsViewDlg::CQDDToolsViewDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("CQDDToolsViewDlg");
    const ParameterDialogIo& io = ParameterDialogExchange();
    setWindowTitle(LoadQText(296));
    auto* layout = new QVBoxLayout(this);

    auto* definition = new QLabel(QString::fromStdString(io.definition), this);
    definition->setObjectName("definitionLabel");
    QFont font = definition->font();
    font.setPointSize(12);
    definition->setFont(font);
    definition->setStyleSheet("color: rgb(0,0,128);");
    layout->addWidget(definition);

    auto* parameterGroup = new QGroupBox(LoadQText(297), this);
    auto* number = new QLabel(QString::fromStdString(ParameterNumberText(io.parameter)), parameterGroup);
    number->setObjectName("parameterNumber");
    (new QHBoxLayout(parameterGroup))->addWidget(number);
    layout->addWidget(parameterGroup);

    auto* valueGroup = new QGroupBox(LoadQText(298), this);
    valueEdit_ = new QLineEdit(
        QString::fromStdString(ParameterValueText(io.parameter, io.currentValue)), valueGroup);
    valueEdit_->setObjectName("valueEdit");
    valueEdit_->setAlignment(Qt::AlignRight);
    (new QHBoxLayout(valueGroup))->addWidget(valueEdit_);
    layout->addWidget(valueGroup);

    auto* promptGroup = new QGroupBox(LoadQText(299), this);
    auto* prompt = new QLabel(LoadQText(300), promptGroup);
    prompt->setWordWrap(true);
    (new QHBoxLayout(promptGroup))->addWidget(prompt);
    layout->addWidget(promptGroup);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), LoadQText(211), this);
    auto* cancel =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), LoadQText(212), this);
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
