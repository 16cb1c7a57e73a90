#include "wizard/WizardDialogTable.h"

namespace {

using Id = WizardDialogId;
using C = WizardControl;
constexpr auto Stays = FailedWriteRule::Stays;
constexpr auto Closes = FailedWriteRule::Closes;
constexpr unsigned kSetValue = 483;

// A dialog with one edit box under one title.
WizardDialogDescription edit(Id id, const char* name, int templateId, const char* caption, uint8_t parameter,
                      unsigned title, unsigned help, FailedWriteRule rule,
                      std::vector<unsigned> notes = {})
{
    return {id, name, templateId, caption, C::Edits, {{title, help, {{parameter, kSetValue}}}},
            0, {}, std::move(notes), rule, false};
}

// A dialog with several edit boxes under one title.
WizardDialogDescription edits(Id id, const char* name, int templateId, const char* caption,
                       std::vector<WizardField> fields, unsigned title, unsigned help,
                       FailedWriteRule rule, std::vector<unsigned> notes = {})
{
    return {id, name, templateId, caption, C::Edits, {{title, help, std::move(fields)}},
            0, {}, std::move(notes), rule, false};
}

WizardDialogDescription options(Id id, const char* name, int templateId, const char* caption, uint8_t parameter,
                         std::vector<WizardOption> choices, unsigned title, unsigned help,
                         std::vector<unsigned> notes = {}, bool silentReadFailure = false)
{
    return {id, name, templateId, caption, C::Options, {{title, help, {}}},
            parameter, std::move(choices), std::move(notes), Stays, silentReadFailure};
}

std::vector<WizardDialogDescription> buildTable()
{
    std::vector<WizardDialogDescription> table;
    table.push_back(options(Id::Wizard05, "CWizard05Dlg", 2162, "Parameter No.05", 0x05,
                            {{473, 472}, {475, 474}, {476, 0}, {477, 0}}, 470, 471, {}, true));
    table.push_back(options(Id::Wizard06, "CWizard06Dlg", 2182, "Parameter No.06", 0x06,
                            {{480, 0}, {481, 0}, {482, 0}}, 478, 479));
    table.push_back(edit(Id::Wizard10, "CWizard10Dlg", 2194, "Parameter No.10", 0x10, 484, 485, Closes));
    table.push_back(edit(Id::Wizard11, "CWizard11Dlg", 2199, "Parameter No.11", 0x11, 486, 487, Stays));
    table.push_back(edit(Id::Wizard12, "CWizard12Dlg", 2200, "Parameter No.12", 0x12, 488, 489, Stays));
    table.push_back(edit(Id::Wizard13, "CWizard13Dlg", 2198, "Parameter No.13", 0x13, 490, 491, Stays));
    table.push_back(edit(Id::Wizard14, "CWizard14Dlg", 2204, "Parameter No.14", 0x14, 492, 493, Stays));
    table.push_back({Id::Wizard15, "CWizard15Dlg", 2193, "Parameter No.15~16", C::Edits,
                     {{494, 495, {{0x15, kSetValue}}}, {496, 497, {{0x16, kSetValue}}}},
                     0, {}, {}, Closes, false});
    table.push_back(edit(Id::Wizard1D, "CWizard1DDlg", 2202, "Parameter No.1D", 0x1D, 498, 499, Stays));
    table.push_back(edit(Id::Wizard1E, "CWizard1EDlg", 2203, "Parameter No.1E", 0x1E, 500, 501, Stays));
    table.push_back(edit(Id::Wizard20, "CWizard20Dlg", 2201, "Parameter No.20", 0x20, 502, 503, Stays));
    table.push_back(edit(Id::Wizard28, "CWizard28Dlg", 2222, "Parameter No.28", 0x28, 504, 505, Closes));
    table.push_back(edit(Id::Wizard29, "CWizard29Dlg", 30724, "Parameter No.29", 0x29, 506, 507, Closes));
    table.push_back(edit(Id::Wizard2A, "CWizard2ADlg", 30725, "Parameter No.2A", 0x2A, 508, 509, Closes));
    table.push_back({Id::Wizard40, "CWizard40Dlg", 2184, "Parameter No.40~42", C::PulseInput,
                     {{520, 523, {}}}, 0x40, {{521, 0}, {522, 0}}, {524, 525, 526, 527}, Closes, true});
    table.push_back(edit(Id::Wizard44, "CWizard44Dlg", 2163, "Parameter No.44", 0x44, 542, 543, Stays,
                         {544, 545}));
    table.push_back(options(Id::Wizard45, "CWizard45Dlg", 2173, "Parameter No.45", 0x45,
                            {{529, 0}, {530, 0}}, 528, 531, {532, 533, 534, 535, 536}));
    table.push_back(edits(Id::Wizard46, "CWizard46Dlg", 2191, "Parameter No.46-4B",
                          {{0x46, 548}, {0x4B, 549}}, 546, 547, Closes));
    table.push_back(edit(Id::Wizard48, "CWizard48Dlg", 2192, "Parameter No.48", 0x48, 510, 511, Closes));
    table.push_back(edit(Id::Wizard4C, "CWizard4CDlg", 2195, "Parameter No.4C", 0x4C, 550, 551, Closes,
                         {552, 553, 554, 555}));
    table.push_back(edits(Id::Wizard4E, "CWizard4EDlg", 2221, "Parameter No.4E~No.4F",
                          {{0x4E, 558}, {0x4F, 559}}, 556, 557, Closes, {560, 561}));
    table.push_back(edit(Id::Wizard50, "CWizard50Dlg", 2176, "Parameter No.50", 0x50, 562, 563, Stays,
                         {564, 565, 566, 567, 568}));
    table.push_back(options(Id::Wizard51, "CWizard51Dlg", 2179, "Parameter No.51", 0x51,
                            {{513, 0}, {514, 0}}, 512, 515));
    table.push_back(edit(Id::Wizard52, "CWizard52Dlg", 2208, "Parameter No.52", 0x52, 516, 517, Stays));
    table.push_back(edits(Id::Wizard53, "CWizard53Dlg", 2183, "Parameter No.53~56 + No.74~77",
                          {{0x53, 571}, {0x54, 572}, {0x55, 573}, {0x56, 574},
                           {0x74, 575}, {0x75, 576}, {0x76, 577}, {0x77, 578}},
                          569, 570, Stays, {579}));
    table.push_back(edit(Id::Wizard56, "CWizard56Dlg", 2211, "Parameter No.56", 0x56, 518, 519, Stays));
    table.push_back(edits(Id::Wizard58, "CWizard58Dlg", 2180, "Parameter No.58~No.5A",
                          {{0x58, 582}, {0x59, 583}, {0x5A, 584}}, 580, 581, Stays));
    table.push_back(edit(Id::Wizard5C, "CWizard5CDlg", 2209, "Parameter No.5C", 0x5C, 585, 586, Stays,
                         {587, 588, 589, 590, 591}));
    table.push_back(options(Id::Wizard5D, "CWizard5DDlg", 2210, "Parameter No.5D", 0x5D,
                            {{540, 0}, {541, 0}}, 537, 538, {539}));
    return table;
}

}  // namespace

std::vector<uint8_t> WizardDialogDescription::parameters() const
{
    switch (control) {
    case WizardControl::Options:
        return {optionParameter};
    case WizardControl::PulseInput:
        return {0x40, 0x41, 0x42};
    case WizardControl::Edits:
        break;
    }
    std::vector<uint8_t> result;
    for (const WizardSection& section : sections)
        for (const WizardField& field : section.fields)
            result.push_back(field.parameter);
    return result;
}

std::vector<unsigned> WizardDialogDescription::textIds() const
{
    std::vector<unsigned> ids;
    for (const WizardSection& section : sections) {
        ids.push_back(section.titleTextId);
        ids.push_back(section.helpTextId);
        for (const WizardField& field : section.fields)
            ids.push_back(field.labelTextId);
    }
    for (const WizardOption& option : options) {
        ids.push_back(option.textId);
        if (option.headingTextId != 0)
            ids.push_back(option.headingTextId);
    }
    ids.insert(ids.end(), noteTextIds.begin(), noteTextIds.end());
    return ids;
}

const std::vector<WizardDialogDescription>& WizardDialogs()
{
    static const std::vector<WizardDialogDescription> table = buildTable();
    return table;
}

const WizardDialogDescription& WizardDialogOf(WizardDialogId id)
{
    return WizardDialogs().at(static_cast<size_t>(id));
}
