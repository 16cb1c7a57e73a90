#pragma once
// Which block diagram a control mode leads to: one diagram for the pure
// modes, a choice of two for the mixed modes, none for the others.

enum class DiagramKind { Position, Velocity, Torque };

struct DiagramOptions {
    int count = 0;  // 0: unsupported mode, 1: open options[0], 2: ask
    DiagramKind options[2] = {DiagramKind::Position, DiagramKind::Position};
};

DiagramOptions DiagramOptionsForMode(int controlMode);
// The text of a choice button (464, 465, 466).
unsigned DiagramOptionTextId(DiagramKind kind);
