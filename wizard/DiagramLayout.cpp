#include "wizard/DiagramLayout.h"

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 560;
constexpr int kBoxHeight = 62;
constexpr int kButtonHeight = 20;
constexpr int kButtonInset = 4;
// Rows of boxes, top to bottom: the command path of the mode, the branch
// beneath it, the velocity loop, the motor's feedback, the encoder output.
constexpr int kRowCommand = 56;
constexpr int kRowBranch = 150;
constexpr int kRowVelocityLoop = 262;
constexpr int kRowFeedback = 372;
constexpr int kRowOutput = 470;

struct ButtonDialog {
    int controlId;
    WizardDialogId dialog;
};

const ButtonDialog kButtonDialogs[] = {
    {2062, WizardDialogId::Wizard40}, {2063, WizardDialogId::Wizard44}, {2064, WizardDialogId::Wizard45},
    {2065, WizardDialogId::Wizard46}, {2066, WizardDialogId::Wizard48}, {2067, WizardDialogId::Wizard15},
    {2068, WizardDialogId::Wizard10}, {2069, WizardDialogId::Wizard4C}, {2070, WizardDialogId::Wizard13},
    {2071, WizardDialogId::Wizard11}, {2072, WizardDialogId::Wizard12}, {2073, WizardDialogId::Wizard20},
    {2074, WizardDialogId::Wizard1D}, {2075, WizardDialogId::Wizard1E}, {2076, WizardDialogId::Wizard14},
    {2193, WizardDialogId::Wizard4E}, {2194, WizardDialogId::Wizard28}, {2195, WizardDialogId::Wizard29},
    {2188, WizardDialogId::Wizard2A}, {2109, WizardDialogId::Wizard53}, {2110, WizardDialogId::Wizard06},
    {2111, WizardDialogId::Wizard50}, {2112, WizardDialogId::Wizard51}, {2113, WizardDialogId::Wizard52},
    {2114, WizardDialogId::Wizard58}, {2115, WizardDialogId::Wizard05}, {2129, WizardDialogId::Wizard5C},
    {2130, WizardDialogId::Wizard5D}, {2131, WizardDialogId::Wizard56},
};

DiagramBox box(const char* key, const char* caption, int x, int y, int width, std::vector<int> buttons)
{
    return {key, caption, {x, y, width, kBoxHeight}, std::move(buttons)};
}

// The velocity loop, the motor's feedback and the encoder output: the same
// in every diagram.
void addCommonBoxes(std::vector<DiagramBox>& boxes)
{
    boxes.push_back(box("velocityGain", "Velocity loop gain", 64, kRowVelocityLoop, 100, {2071}));
    boxes.push_back(box("integral", "Integral time constant", 184, kRowVelocityLoop, 100, {2072}));
    boxes.push_back(box("inertia", "Inertia ratio", 304, kRowVelocityLoop, 100, {2073}));
    boxes.push_back(box("torqueFilter", "Torque filter", 456, kRowVelocityLoop, 100, {2076}));
    boxes.push_back(box("notch1", "1st notch filter", 576, kRowVelocityLoop, 136, {2074, 2075}));
    boxes.push_back(box("notch2", "2nd notch filter", 732, kRowVelocityLoop, 212, {2194, 2195, 2188}));
    boxes.push_back(box("speedDetection", "Speed detection filter", 500, kRowFeedback, 120, {2070}));
    boxes.push_back(box("outputDivision", "Output pulse division", 552, kRowOutput, 104, {2063}));
    boxes.push_back(box("outputRatio", "Output division ratio", 424, kRowOutput, 112, {2193}));
    boxes.push_back(box("outputLogic", "Output pulse logic", 296, kRowOutput, 112, {2064}));
}

std::vector<DiagramBox> positionBoxes()
{
    std::vector<DiagramBox> boxes;
    boxes.push_back(box("pulseInput", "Command pulse input", 16, kRowCommand, 112, {2062}));
    boxes.push_back(box("inputFilter", "Pulse input filter", 152, kRowCommand, 104, {2066}));
    boxes.push_back(box("gear", "Electronic gear", 280, kRowCommand, 112, {2065}));
    boxes.push_back(box("smoothing", "Smoothing filter", 416, kRowCommand, 104, {2069}));
    boxes.push_back(box("positionGain", "Position loop gain", 596, kRowCommand, 104, {2068}));
    boxes.push_back(box("feedForward", "Velocity feed forward", 596, kRowBranch, 132, {2067}));
    addCommonBoxes(boxes);
    return boxes;
}

std::vector<DiagramBox> velocityBoxes()
{
    std::vector<DiagramBox> boxes;
    boxes.push_back(box("inputGain", "Speed command input gain", 100, kRowCommand, 104, {2111}));
    boxes.push_back(box("reversal", "Speed command reversal", 224, kRowCommand, 104, {2112}));
    boxes.push_back(box("offset", "Speed command offset", 348, kRowCommand, 104, {2113}));
    boxes.push_back(box("speedSelection", "Speed setup selection", 480, kRowCommand, 120, {2115}));
    boxes.push_back(box("zeroSpeed", "Zero speed clamp", 624, kRowCommand, 104, {2110}));
    boxes.push_back(box("accDec", "Acceleration / deceleration", 752, kRowCommand, 136, {2114}));
    boxes.push_back(box("internalSpeeds", "Internal speeds 1st-8th", 472, kRowBranch, 136, {2109}));
    addCommonBoxes(boxes);
    return boxes;
}

std::vector<DiagramBox> torqueBoxes(bool pin16)
{
    std::vector<DiagramBox> boxes;
    if (pin16) {
        boxes.push_back(box("torqueGain", "Torque command input gain", 100, kRowCommand, 104, {2129}));
        boxes.push_back(box("torqueReversal", "Torque command reversal", 224, kRowCommand, 104, {2130}));
        boxes.push_back(box("offset", "Analog input offset", 604, kRowBranch, 104, {2113}));
    } else {
        boxes.push_back(box("offset", "Analog input offset", 100, kRowCommand, 104, {2113}));
        boxes.push_back(box("torqueGain", "Torque command input gain", 224, kRowCommand, 104, {2129}));
        boxes.push_back(box("torqueReversal", "Torque command reversal", 348, kRowCommand, 104, {2130}));
        boxes.push_back(box("speedLimit", "Speed limit", 604, kRowBranch, 104, {2131}));
    }
    addCommonBoxes(boxes);
    return boxes;
}

DiagramLayout buildLayout(std::vector<DiagramBox> boxes)
{
    DiagramLayout layout;
    layout.width = kWidth;
    layout.height = kHeight;
    layout.cancel = {kWidth - 108, kHeight - 40, 92, 28};
    for (const DiagramBox& b : boxes) {
        const int count = static_cast<int>(b.buttons.size());
        const int gap = kButtonInset;
        const int width = (b.rect.width - 2 * kButtonInset - (count - 1) * gap) / count;
        for (int i = 0; i < count; ++i) {
            const LayoutRect rect{b.rect.x + kButtonInset + i * (width + gap),
                                  b.rect.bottom() - kButtonInset - kButtonHeight, width, kButtonHeight};
            const WizardDialogId dialog = DialogOfButton(b.buttons[i]);
            layout.buttons.push_back({b.buttons[i], dialog, rect, ParameterButtonLabel(dialog)});
        }
    }
    layout.boxes = std::move(boxes);
    return layout;
}

std::string hex2(uint8_t parameter)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", parameter);
    return text;
}

}  // namespace

bool LayoutRect::contains(const LayoutRect& other) const
{
    return other.x >= x && other.y >= y && other.right() <= right() && other.bottom() <= bottom();
}

bool LayoutRect::intersects(const LayoutRect& other) const
{
    return other.x < right() && x < other.right() && other.y < bottom() && y < other.bottom();
}

const DiagramBox* DiagramLayout::box(const std::string& key) const
{
    for (const DiagramBox& b : boxes)
        if (b.key == key)
            return &b;
    return nullptr;
}

const DiagramButton* DiagramLayout::button(int controlId) const
{
    for (const DiagramButton& b : buttons)
        if (b.controlId == controlId)
            return &b;
    return nullptr;
}

const DiagramLayout& LayoutOf(WizardDiagram diagram, bool torquePin16)
{
    static const DiagramLayout position = buildLayout(positionBoxes());
    static const DiagramLayout velocity = buildLayout(velocityBoxes());
    static const DiagramLayout torquePin14 = buildLayout(torqueBoxes(false));
    static const DiagramLayout torquePin16Layout = buildLayout(torqueBoxes(true));
    switch (diagram) {
    case WizardDiagram::Position: return position;
    case WizardDiagram::Velocity: return velocity;
    case WizardDiagram::Torque: break;
    }
    return torquePin16 ? torquePin16Layout : torquePin14;
}

WizardDialogId DialogOfButton(int controlId)
{
    for (const ButtonDialog& entry : kButtonDialogs)
        if (entry.controlId == controlId)
            return entry.dialog;
    throw std::out_of_range("no parameter button " + std::to_string(controlId));
}

std::string ParameterButtonLabel(WizardDialogId dialog)
{
    const std::vector<uint8_t> parameters = WizardDialogOf(dialog).parameters();
    std::string label = "Pr.";
    for (size_t i = 0; i < parameters.size();) {
        size_t end = i;
        while (end + 1 < parameters.size() && parameters[end + 1] == parameters[end] + 1)
            ++end;
        if (i > 0)
            label += "/";
        if (end - i >= 2) {
            label += hex2(parameters[i]) + "-" + hex2(parameters[end]);
        } else {
            label += hex2(parameters[i]);
            if (end > i)
                label += "/" + hex2(parameters[end]);
        }
        i = end + 1;
    }
    return label;
}
