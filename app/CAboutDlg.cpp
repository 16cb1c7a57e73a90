#include "app/CAboutDlg.h"

#include "app/CCoverDlg.h"
#include "texts/LoadText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("CAboutDlg");
    setWindowTitle(QString::fromStdString(LoadText(280)).remove("(&A)"));
    auto* layout = new QVBoxLayout(this);
    auto* cover = new QLabel(this);
    const QImage image = CCoverDlg::coverFromFile();
    if (!image.isNull())
        cover->setPixmap(QPixmap::fromImage(image));
    layout->addWidget(cover);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    row->addWidget(icon);
    auto* version = new QLabel(kVersionText, this);
    version->setObjectName("versionText");
    row->addWidget(version, 1);
    layout->addLayout(row);
    auto* ok = new QPushButton(QString::fromStdString(LoadText(211)), this);
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
