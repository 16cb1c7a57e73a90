#pragma once
// What the parameter page's operations need from whoever shows them: a
// progress bar, a status line, the description label, cells to refresh, the
// command-wait step and the value question. Messages and questions go
// through the platform prompt. Every member has a quiet default, so a
// command-line caller overrides only what it shows.

#include <cstdint>
#include <string>

class PageHost {
public:
    virtual ~PageHost() = default;

    virtual void setProgressRange(int /*minimum*/, int /*maximum*/) {}
    virtual void setProgress(int /*position*/) {}
    virtual void setStatus(const std::string& /*text*/) {}
    // The help or lock text of the selected row; `red` for lock messages.
    virtual void setDescription(const std::string& /*text*/, bool /*red*/) {}
    // A row's value cell, or every row's texts, changed in the page.
    virtual void valueChanged(int /*row*/) {}
    virtual void textsChanged() {}

    // Writes 1 to the link's command-wait target register every 100 ms
    // until the drive accepts it or 100 writes have failed (heading,
    // message and register are in linkState().commandWait). True when
    // accepted. The default waits without a window.
    virtual bool runCommandWait();

    // Asks for a parameter's new value; false when the user cancelled.
    virtual bool askValue(int /*parameter*/, const std::string& /*definition*/, int32_t /*current*/,
                          int32_t& /*newValue*/)
    {
        return false;
    }
};
