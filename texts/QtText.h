#pragma once
// A text of the program's table as a QString, for the windows.

#include "texts/LoadText.h"

#include <QString>

inline QString LoadQText(unsigned id)
{
    return QString::fromStdString(LoadText(id));
}
