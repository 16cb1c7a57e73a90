#include "app/ShellState.h"

std::string ShellState::pathOf(const std::string& relative) const
{
    if (workingDirectory.empty())
        return relative;
    if (workingDirectory.back() == '/')
        return workingDirectory + relative;
    return workingDirectory + "/" + relative;
}

ShellState& Shell()
{
    static ShellState state;
    return state;
}
