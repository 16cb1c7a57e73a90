#include "param/ui/CSelFileDlg.h"

#include "param/PageModeChoice.h"
#include "texts/QtText.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CSelFileDlg::CSelFileDlg(QWidget* parent)
    : QDialog(parent), file_(new QRadioButton(LoadQText(238), this)), factory_(new QRadioButton(LoadQText(239), this)),
      ok_(new QPushButton(LoadQText(211), this)), cancel_(new QPushButton(LoadQText(212), this))
{
    setObjectName("CSelFileDlg");
    setWindowTitle(LoadQText(234));
    auto* layout = new QVBoxLayout(this);
    auto* options = new QGroupBox(LoadQText(235), this);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(file_);
    optionsLayout->addWidget(factory_);
    layout->addWidget(options);
    auto* prompt = new QGroupBox(LoadQText(236), this);
    auto* description = new QLabel(LoadQText(237), prompt);
    description->setWordWrap(true);
    (new QVBoxLayout(prompt))->addWidget(description);
    layout->addWidget(prompt);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    file_->setChecked(true);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &CSelFileDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CSelFileDlg::reject);
}

void CSelFileDlg::accept()
{
    CurrentPageModeChoice().offlineSource = file_->isChecked() ? OfflineStartFile : OfflineStartFactory;
    QDialog::accept();
}
