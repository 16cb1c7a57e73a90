#pragma once
// The parameter page: one row per parameter shown in the page mode, in
// ascending order, with definition, range, unit and value; and the rules
// that come with the model (which parameters are shown, take effect after
// a restart, are unused, or are locked by real-time auto tuning). Look-ups
// go by parameter number: outside the parameter control mode the row index
// is not the parameter number.

#include "param/ParamEnvironment.h"
#include "param/ParameterFlags.h"
#include "param/ParameterNumbers.h"
#include "tables/DriveType.h"

#include <array>
#include <string>
#include <vector>

struct PageRow {
    int parameter = 0;
    std::string definition;  // texts as the file holds them (padded)
    std::string range;
    std::string unit;
    bool hasValue = false;   // a value cell stays empty until a file or the drive fills it
    int32_t value = 0;
    bool grey = false;       // shown as unused
};

class ParameterPage {
public:
    // The page of a model in a page mode. Without valid flags the built-in
    // tables decide; a model that has none shows every parameter and
    // reports typeError().
    ParameterPage(const DriveType& drive, int pageMode, const ParameterFlagsTable& flags,
                  ParamEnvironment environment);

    const DriveType& drive() const { return drive_; }
    int pageMode() const { return pageMode_; }
    const ParamEnvironment& environment() const { return environment_; }
    bool flagsPage() const { return flagsPage_; }
    bool typeError() const { return typeError_; }
    std::string modelName() const { return drive_.modelName(); }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const PageRow& row(int index) const { return rows_.at(static_cast<size_t>(index)); }
    PageRow& row(int index) { return rows_.at(static_cast<size_t>(index)); }
    // The row of a parameter, or -1 when it is hidden.
    int rowOf(int parameter) const;
    // "10", or "04 *" for a parameter that takes effect after a restart.
    std::string label(int index) const;

    bool visible(int parameter) const { return visible_.test(static_cast<size_t>(parameter)); }
    bool restartMarked(int parameter) const { return restart_.test(static_cast<size_t>(parameter)); }
    // Unused: refused for editing outside engineer mode.
    bool unused(int parameter) const;
    // Locked while real-time auto tuning is on (given the drive class).
    bool autoTuningLocked(int parameter) const;
    const ParameterSet& visibleParameters() const { return visible_; }

    // Low byte of Pr.21 as last read or written; non-zero locks the gains.
    uint8_t realtimeTuning() const { return realtimeTuning_; }
    void setRealtimeTuning(uint8_t value) { realtimeTuning_ = value; }

    // Every parameter's value (0 for hidden ones and empty cells).
    ParameterValues values() const;

private:
    DriveType drive_;
    int pageMode_;
    ParamEnvironment environment_;
    ParameterFlagsTable flags_;
    bool flagsPage_ = false;
    bool typeError_ = false;
    ParameterSet visible_;
    ParameterSet restart_;
    ParameterSet unusedBuiltIn_;
    std::vector<PageRow> rows_;
    std::array<int, kParameterCount> rowIndex_{};  // -1 for a hidden parameter
    uint8_t realtimeTuning_ = 0;
};
