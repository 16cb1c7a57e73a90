#include "scope/ui/ScopeDiagnosticsPanel.h"

#include "scope/ScopeDiagnostics.h"
#include "texts/LoadText.h"

#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>

ScopeDiagnosticsPanel::ScopeDiagnosticsPanel(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName("ScopeDiagnosticsPanel");
    setWindowTitle(QString::fromStdString(LoadText(1164)));
    auto* layout = new QVBoxLayout(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (size_t i = 0; i < scopeDiagnostics().panelLines().size(); ++i) {
        auto* label = new QLabel(this);
        label->setFont(fixed);
        layout->addWidget(label);
        labels_.push_back(label);
    }
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, &ScopeDiagnosticsPanel::refresh);
    refresh();
}

void ScopeDiagnosticsPanel::refresh()
{
    const std::vector<std::string> lines = scopeDiagnostics().panelLines();
    for (size_t i = 0; i < labels_.size() && i < lines.size(); ++i)
        labels_[i]->setText(QString::fromStdString(lines[i]));
}

QStringList ScopeDiagnosticsPanel::lines() const
{
    QStringList out;
    for (const QLabel* label : labels_)
        out << label->text();
    return out;
}

void ScopeDiagnosticsPanel::showEvent(QShowEvent* event)
{
    refresh();
    timer_.start();
    QDialog::showEvent(event);
}

void ScopeDiagnosticsPanel::hideEvent(QHideEvent* event)
{
    timer_.stop();
    QDialog::hideEvent(event);
}
