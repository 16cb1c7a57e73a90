#pragma once
// The printed page: the scope screen on white paper (grid, axes, labels,
// traces 2 units wide, Speed Command in black), then a table of each
// channel's scale and statistics, the time base, a line for notes and the
// date. Drawn in the view's own coordinates, scaled onto the page.

#include "scope/PrintStatistics.h"
#include "scope/ScreenTraces.h"

#include <array>
#include <ctime>
#include <string>
#include <vector>

class QPainter;

struct PrintPageInput {
    int clientWidth = 0, clientHeight = 0;  // the view's size: the page's coordinates
    ScreenTraces traces;                    // as on the display
    std::array<double, kScopeChannelCount> volDivColumn{};  // Pulse Deviation: 2^n
    std::array<int, kScopeChannelCount> verticalColumn{};   // the Scale tab's fields
    std::array<ChannelStatistics, kScopeChannelCount> statistics;
    int captureLength = 500;
    std::tm localTime{};
};

struct PrintText {
    int x = 0, y = 0;  // top left of the text, in the view's coordinates
    std::string text;
    uint32_t colour = 0;  // 0xRRGGBB
};

// The table and the lines below it.
std::vector<PrintText> PrintPageTexts(const PrintPageInput& input);
// "2025-03-03   14:05:09".
std::string PrintDateText(const std::tm& local);

// Draws the page on a printer (or any paint device) of `dotsPerInch`,
// keeping the view's proportions inside a 2/3-inch margin.
void PaintPrintPage(QPainter& painter, int deviceWidth, int deviceHeight, int dotsPerInch,
                    const PrintPageInput& input);
