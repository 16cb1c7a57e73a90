#include "monitor/AlarmTexts.h"

#include "texts/LoadText.h"

#include <cstdio>

namespace {

struct Description {
    int code;
    unsigned textId;
};

const Description kDescriptions[] = {
    {11, 389}, {12, 390}, {13, 391}, {14, 392}, {15, 393}, {16, 394}, {18, 395},
    {20, 396}, {21, 397}, {22, 398}, {24, 399}, {26, 400}, {29, 401}, {36, 402},
    {37, 403}, {38, 404}, {48, 405}, {49, 406}, {50, 407}, {99, 408},
};

}  // namespace

std::string AlarmText(int code)
{
    if (code == 0)
        return " " + LoadText(388);
    char head[32];
    std::snprintf(head, sizeof head, " Err.%d   ", code);
    for (const Description& d : kDescriptions)
        if (d.code == code)
            return head + LoadText(d.textId);
    return head;
}
