#include "app/CTalkDlg.h"

#include "texts/QtText.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
int& choiceByte()
{
    static int choice = 0;
    return choice;
}
}  // namespace

CTalkDlg::CTalkDlg(unsigned option0TextId, unsigned option1TextId, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("CTalkDlg");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(LoadQText(463), this));
    options_[0] = new QRadioButton(LoadQText(option0TextId), this);
    options_[1] = new QRadioButton(LoadQText(option1TextId), this);
    options_[0]->setObjectName("option0");
    options_[1]->setObjectName("option1");
    options_[0]->setChecked(true);
    layout->addWidget(options_[0]);
    layout->addWidget(options_[1]);
    auto* ok = new QPushButton(LoadQText(211), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &CTalkDlg::confirm);
}

void CTalkDlg::confirm()
{
    choiceByte() = options_[1]->isChecked() ? 1 : 0;
    accept();
}

int CTalkDlg::ask(unsigned option0TextId, unsigned option1TextId)
{
    CTalkDlg dialog(option0TextId, option1TextId, QApplication::activeWindow());
    dialog.exec();
    return choiceByte();
}

int CTalkDlg::lastChoice()
{
    return choiceByte();
}
