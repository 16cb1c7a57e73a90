#include "param/ui/ControlModeChoice.h"

#include "link/LinkState.h"
#include "param/PageModeChoice.h"
#include "param/ui/CSOModeDlg.h"
#include "param/ui/CSelFileDlg.h"
#include "param/ui/CSelFilePathDlg.h"

bool RunControlModeChoice(QWidget* parent)
{
    CurrentPageModeChoice().forgetOfflineStart();
    enum class Step { Mode, StartChoice, StartFile };
    Step step = Step::Mode;
    bool modeAsked = true;
    for (;;) {
        switch (step) {
        case Step::Mode: {
            CSOModeDlg mode(parent);
            if (mode.exec() != CSOModeDlg::Accepted)
                return false;
            if (linkState().online == 1)
                return true;
            modeAsked = !mode.decidedWithoutAsking();
            step = Step::StartChoice;
            break;
        }
        case Step::StartChoice: {
            CSelFileDlg start(parent);
            if (start.exec() != CSelFileDlg::Accepted) {
                // Back to the mode question; a mode settled without asking
                // has no question to go back to.
                if (!modeAsked)
                    return false;
                step = Step::Mode;
                break;
            }
            if (CurrentPageModeChoice().offlineSource == OfflineStartFactory)
                return true;
            step = Step::StartFile;
            break;
        }
        case Step::StartFile: {
            CSelFilePathDlg file;
            if (file.exec())
                return true;
            CurrentPageModeChoice().forgetOfflineStart();
            step = Step::StartChoice;
            break;
        }
        }
    }
}
