#include "app/WindowCatalogue.h"

#include <cctype>

const std::array<WindowKindInfo, kWindowKindCount>& WindowKinds()
{
    static const std::array<WindowKindInfo, kWindowKindCount> kinds = {{
        {WindowKind::ToolBox, "ToolBoxView", "Toolbox"},
        {WindowKind::ParameterSetting, "QDDTools", "Parameter Setting"},
        {WindowKind::IoMonitor, "IO Monitor", "I/O Monitor"},
        {WindowKind::AlarmList, "AlarmList", "Alarm List Table"},
        {WindowKind::Estimate, "EstimateView", "Estimate View"},
        {WindowKind::BlockDiagram, "WizardView", "Block Diagram"},
        {WindowKind::Scope, "WaveGdiView", "Wave Gdi View"},
        {WindowKind::FunctionDio, "FTBView", "Function DIO Setting"},
        {WindowKind::PulseMode, "PulseMode", "Parameter Setting"},
    }};
    return kinds;
}

const WindowKindInfo& InfoOf(WindowKind kind)
{
    return WindowKinds()[static_cast<int>(kind)];
}

DocumentAdmission WindowCatalogue::admit(const std::string& defaultTitle)
{
    DocumentAdmission admission{DocumentAdmission::UnknownKind, WindowKind::ToolBox, {}};
    const auto n = defaultTitle.size();
    // Two or more digits of running number: the numbering has run past
    // what the single-digit titles allow.
    if (n >= 2 && std::isdigit(static_cast<unsigned char>(defaultTitle[n - 2]))) {
        admission.result = DocumentAdmission::NumberOverflow;
        return admission;
    }
    const std::string key = n == 0 ? std::string() : defaultTitle.substr(0, n - 1);
    for (const auto& info : WindowKinds()) {
        if (key != info.key)
            continue;
        auto& flag = openFlags_[static_cast<int>(info.kind)];
        admission.kind = info.kind;
        if (flag == 1) {
            admission.result = DocumentAdmission::AlreadyOpen;
            return admission;
        }
        flag = 1;
        admission.result = DocumentAdmission::Accepted;
        admission.title = info.title;
        return admission;
    }
    admission.title = defaultTitle;  // not one of ours: accepted as it is
    return admission;
}

void WindowCatalogue::documentClosed(const std::string& title)
{
    // "Parameter Setting" is the title of two kinds; both flags clear.
    for (const auto& info : WindowKinds())
        if (title == info.title)
            openFlags_[static_cast<int>(info.kind)] = 0;
}

bool WindowCatalogue::isOpen(WindowKind kind) const
{
    return openFlags_[static_cast<int>(kind)] == 1;
}

void WindowCatalogue::reset()
{
    openFlags_.fill(0);
}

WindowCatalogue& OpenWindows()
{
    static WindowCatalogue catalogue;
    return catalogue;
}
