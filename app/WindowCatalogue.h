#pragma once
// The kinds of window the program shows and the rule that each kind exists
// at most once: a new document is accepted or refused by its default title.

#include <array>
#include <cstdint>
#include <string>

enum class WindowKind {
    ToolBox, ParameterSetting, IoMonitor, AlarmList, Estimate, BlockDiagram, Scope,
    FunctionDio, PulseMode
};
constexpr int kWindowKindCount = 9;

struct WindowKindInfo {
    WindowKind kind;
    const char* key;    // document name; default titles are key + number
    const char* title;  // title set when a window of the kind opens
};

const std::array<WindowKindInfo, kWindowKindCount>& WindowKinds();
const WindowKindInfo& InfoOf(WindowKind kind);

// Outcome of the new-document check.
struct DocumentAdmission {
    // UnknownKind is accepted too, under its default title.
    enum Result { Accepted, AlreadyOpen, NumberOverflow, UnknownKind } result;
    WindowKind kind = WindowKind::ToolBox;
    std::string title;
};

class WindowCatalogue {
public:
    // Checks a default title ("AlarmList1") and, when accepted, marks the
    // kind open. Refusals carry the message to show (468, 469).
    DocumentAdmission admit(const std::string& defaultTitle);
    // A document with this title went away: clear its kind's flag.
    void documentClosed(const std::string& title);
    bool isOpen(WindowKind kind) const;
    void reset();

private:
    std::array<int32_t, kWindowKindCount> openFlags_{};
};

// The process-wide flags.
WindowCatalogue& OpenWindows();
