#pragma once
// The program-wide choice made right after the connection step: the page
// mode, and off line where the page's values come from.

#include "param/PageMode.h"

#include <string>

enum OfflineStartSource : int {
    OfflineStartNone = 0,
    OfflineStartFile = 1,     // a saved parameter file
    OfflineStartFactory = 2   // the factory values of the model's system-initialisation file
};

struct PageModeChoice {
    int pageMode = PageModeParameter;
    int offlineSource = OfflineStartNone;
    std::string offlineFile;  // full path, when the source is a file

    // A reconnect forgets the off-line start.
    void forgetOfflineStart()
    {
        offlineSource = OfflineStartNone;
        offlineFile.clear();
    }
};

// The one instance, living for the whole run.
PageModeChoice& CurrentPageModeChoice();
