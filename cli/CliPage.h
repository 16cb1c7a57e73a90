#pragma once
// The parameter page the parameter commands work on, built as the Parameter
// Setup window builds it: the model's flags, and its definitions, ranges,
// units and factory values from SystemInit-<model>.som when the data
// folders hold it. And the page's host on a console: progress on the
// progress display, the status and description kept for messages.

#include "cli/CliContext.h"
#include "param/PageHost.h"
#include "param/ParameterPage.h"

#include <memory>
#include <string>

struct CliPage {
    std::unique_ptr<ParameterPage> page;
    std::string systemInitPath;  // the model's .som, empty when not found
    bool systemInitLoaded = false;
    // The file name looked for, and where, for a message.
    std::string systemInitName;
};

class CliPageHost : public PageHost {
public:
    CliPageHost(const CliContext& context, std::string label) : context_(context), label_(std::move(label)) {}

    void setLabel(std::string label) { label_ = std::move(label); }
    void setProgressRange(int minimum, int maximum) override;
    void setProgress(int position) override;
    void setStatus(const std::string& text) override { status_ = text; }
    void setDescription(const std::string& text, bool) override { description_ = text; }
    bool askValue(int parameter, const std::string& definition, int32_t current, int32_t& newValue) override;
    // The page's command wait, with its ticks on the progress line; an
    // interrupt ends it as failed.
    bool runCommandWait() override;

    // The answer askValue gives (the value the command line names).
    void setAnswer(int32_t value)
    {
        answer_ = value;
        hasAnswer_ = true;
    }
    const std::string& status() const { return status_; }
    const std::string& description() const { return description_; }

private:
    const CliContext& context_;
    std::string label_;
    int minimum_ = 0;
    int maximum_ = 0;
    std::string status_;
    std::string description_;
    int32_t answer_ = 0;
    bool hasAnswer_ = false;
};

// The page of `drive` in `pageMode`. With `loadSystemInit` the texts and
// factory values of the model's .som fill it when the file is found.
CliPage BuildCliPage(const CliContext& context, const DriveType& drive, int pageMode, bool loadSystemInit,
                     CliPageHost& host);

// The page mode a parameter-set file's extension names (.qdp .pcm .vcm
// .tcm, any case); 0 for another.
int PageModeOfPath(const std::string& path);
// "the texts of a file need the model's SystemInit-Vr_007.som (looked in ...)".
std::string MissingSystemInitText(const CliContext& context, const CliPage& page);
