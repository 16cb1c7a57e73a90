#pragma once
// The first window: one button per tool, enabled and shown by the link state
// and the drive class.

#include "app/ToolBoxRules.h"

#include <QWidget>

class QKeyEvent;
class QPushButton;
class CQDDToolsDoc;

class CToolBoxView : public QWidget {
    Q_OBJECT
public:
    CToolBoxView(CQDDToolsDoc* doc, QWidget* parent = nullptr);

    QPushButton* button(ToolBoxButton b) const { return buttons_[static_cast<int>(b)]; }
    // Applies the enable and hide rules for the current link and drive.
    void applyRules();
    // Button 2023: opens the parameter page after checking the drive.
    void openParameterSetupChecked();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void onButton(ToolBoxButton b);
    // The shown, enabled button whose underlined letter the key is, if any.
    QPushButton* buttonForMnemonic(const QKeyEvent& key) const;

    CQDDToolsDoc* doc_;
    QPushButton* buttons_[kToolBoxButtonCount];
    bool shownOnce_ = false;
};
