#include "param/ParameterPage.h"

#include "param/BuiltInParameterTables.h"
#include "param/PageMode.h"
#include "tables/DriveModelTable.h"

ParameterPage::ParameterPage(const DriveType& drive, int pageMode, const ParameterFlagsTable& flags,
                             ParamEnvironment environment)
    : drive_(drive), pageMode_(IsPageMode(pageMode) ? pageMode : PageModeParameter),
      environment_(std::move(environment)), flags_(flags), flagsPage_(flags.valid())
{
    if (flagsPage_) {
        const uint8_t bit = PageModeBit(pageMode_);
        for (int p = 0; p < kParameterCount; ++p) {
            visible_.set(p, bit == 0 || (flags_.flags[p].modeBits & bit) != 0);
            restart_.set(p, flags_.flags[p].reboot != 0);
        }
    } else {
        const bool builtIn = drive_.family == FamilyVr && HasBuiltInParameterTables(drive_.vrGroup);
        typeError_ = !builtIn;
        visible_ = BuiltInVisibleParameters(builtIn ? drive_.vrGroup : -1, pageMode_);
        restart_ = BuiltInRestartParameters();
        if (builtIn && pageMode_ == PageModeParameter)
            unusedBuiltIn_ = BuiltInUnusedParameters(drive_.vrGroup);
    }
    rowIndex_.fill(-1);
    for (int p = 0; p < kParameterCount; ++p) {
        if (!visible(p))
            continue;
        rowIndex_[p] = static_cast<int>(rows_.size());
        PageRow row;
        row.parameter = p;
        row.grey = unused(p);
        rows_.push_back(row);
    }
}

int ParameterPage::rowOf(int parameter) const
{
    return parameter >= 0 && parameter < kParameterCount ? rowIndex_[parameter] : -1;
}

std::string ParameterPage::label(int index) const
{
    const int p = row(index).parameter;
    return ParameterHex(p) + (restartMarked(p) ? " *" : "");
}

bool ParameterPage::unused(int parameter) const
{
    if (flagsPage_)
        return flags_.flags[parameter].permanentLocked != 0;
    return unusedBuiltIn_.test(static_cast<size_t>(parameter));
}

bool ParameterPage::autoTuningLocked(int parameter) const
{
    if (drive_.driveClass < 2 || drive_.driveClass > 5 || realtimeTuning_ == 0)
        return false;
    if (flagsPage_)
        return flags_.flags[parameter].autotuneLocked != 0;
    return AutoTuningLockedParameters().test(static_cast<size_t>(parameter)) || unused(parameter);
}

ParameterValues ParameterPage::values() const
{
    ParameterValues values{};
    for (const PageRow& row : rows_)
        if (row.hasValue)
            values[row.parameter] = row.value;
    return values;
}
