#pragma once
// A document template: makes documents of one window kind with running
// numbers, checks them against the open-window flags and shows each in a
// child frame of the main frame.

#include "app/ViewRegistry.h"

#include <string>

class CMainFrame;
class CChildFrame;

class CMultiDocTemplate_qd {
public:
    CMultiDocTemplate_qd(CMainFrame* mainFrame, const std::string& key, ViewClass viewClass);

    // Opens a new untitled document; nullptr when it was refused (the
    // user has been told why).
    CChildFrame* openNewDocument();
    int runningNumber() const { return untitledCount_; }

private:
    CMainFrame* mainFrame_;
    std::string key_;
    ViewClass viewClass_;
    int untitledCount_ = 0;  // bumped only for accepted documents
};
