#include "plugin/ParameterBlock.h"

namespace waypad {

ParameterBlock::ParameterBlock()
{
    for (auto& v : values_)
        v.store(0);
}

ParameterValues ParameterBlock::snapshot() const
{
    ParameterValues out{};
    for (int f = 0; f < kParamCount; ++f)
        out[f] = get(f);
    return out;
}

void ParameterBlock::assign(const ParameterValues& values)
{
    for (int f = 0; f < kParamCount; ++f)
        set(f, values[f]);
}

}  // namespace waypad
