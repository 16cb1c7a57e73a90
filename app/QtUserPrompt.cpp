#include "app/QtUserPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

using namespace platform;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Windows-style filters ("A (*.x)|*.x|B|*.*||") become Qt's ";;" form.
QString qtFilter(const std::string& filter)
{
    if (filter.find('|') == std::string::npos)
        return q(filter);
    const QStringList parts = q(filter).split('|', Qt::SkipEmptyParts);
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2)
        names << parts[i];
    return names.join(";;");
}

}  // namespace

int QtUserPrompt::messageBox(const std::string& text, const std::string& caption,
                             PromptButtons buttons, PromptIcon icon)
{
    QMessageBox box(QApplication::activeWindow());
    box.setText(q(text));
    box.setWindowTitle(q(caption));
    switch (icon) {
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::None: break;
    }
    switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Every yes/no question of the program is a caution: No is the default.
        box.setDefaultButton(QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return PromptYes;
    case QMessageBox::No: return PromptNo;
    case QMessageBox::Cancel: return PromptCancel;
    default: return buttons == PromptButtons::YesNo ? PromptNo : PromptOk;
    }
}

std::string QtUserPrompt::openFileName(const FileChoice& choice)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), q(choice.caption),
                                        q(choice.directory), qtFilter(choice.filter))
        .toStdString();
}

std::string QtUserPrompt::saveFileName(const FileChoice& choice)
{
    QString start = q(choice.directory);
    if (!choice.defaultName.empty())
        start = start.isEmpty() ? q(choice.defaultName) : start + "/" + q(choice.defaultName);
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), q(choice.caption), start,
                                        qtFilter(choice.filter))
        .toStdString();
}

void QtUserPrompt::beginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUserPrompt::endWaitCursor()
{
    QApplication::restoreOverrideCursor();
}
