#include "param/ui/CSelFilePathDlg.h"

#include "param/PageMode.h"
#include "param/PageModeChoice.h"
#include "platform/UserPrompt.h"
#include "texts/LoadText.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

bool readable(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char byte = 0;
    const bool ok = ::read(fd, &byte, 1) >= 0;  // a folder opens but does not read
    ::close(fd);
    return ok;
}

}  // namespace

bool CSelFilePathDlg::exec()
{
    PageModeChoice& choice = CurrentPageModeChoice();
    platform::FileChoice dialog;
    dialog.caption = LoadText(598);
    dialog.filter = PageModeFilter(choice.pageMode);
    for (;;) {
        const std::string chosen = platform::userPrompt().openFileName(dialog);
        if (chosen.empty())
            return false;
        if (readable(chosen)) {
            path_ = chosen;
            choice.offlineFile = chosen;
            return true;
        }
        platform::userPrompt().messageBox("Open File Error !", "Error", platform::PromptButtons::Ok,
                                          platform::PromptIcon::Error);
    }
}
