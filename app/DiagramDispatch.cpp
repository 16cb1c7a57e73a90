#include "app/DiagramDispatch.h"

DiagramOptions DiagramOptionsForMode(int mode)
{
    using K = DiagramKind;
    switch (mode) {
    case 0: return {1, {K::Position, K::Position}};
    case 1: return {1, {K::Velocity, K::Velocity}};
    case 2: return {1, {K::Torque, K::Torque}};
    case 3: return {2, {K::Position, K::Velocity}};
    case 4: return {2, {K::Position, K::Torque}};
    case 5: return {2, {K::Velocity, K::Torque}};
    default: return {};
    }
}

unsigned DiagramOptionTextId(DiagramKind kind)
{
    switch (kind) {
    case DiagramKind::Position: return 464;
    case DiagramKind::Velocity: return 465;
    case DiagramKind::Torque: return 466;
    }
    return 0;
}
