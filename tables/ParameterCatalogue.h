#pragma once
// The 128 parameters Pr.00-Pr.7F of every selectable drive model: definition,
// range, unit, factory value, flags and help. One base table serves all
// models; each drive class changes a few rows and each model fixes its Pr.1F.
// Plain data, no other library: the tool's data files and drivesim both take
// their parameters from here, so the two cannot disagree.

#include <array>
#include <cstdint>
#include <string>

// The single source of the drive parameters of every model.
class ParameterCatalogue {
public:
    static constexpr int kParameterCount = 128;
    static constexpr int kModelCode = 0x1F;
    static constexpr int kRealTimeAutoTuning = 0x21;

    // Page modes that show a parameter.
    static constexpr uint8_t kPositionBit = 1;
    static constexpr uint8_t kVelocityBit = 2;
    static constexpr uint8_t kTorqueBit = 4;

    // One parameter of one model.
    struct Parameter {
        int number;
        const char* definition;
        int minimum;
        int maximum;
        const char* unit;
        int factory;
        bool restart;         // takes effect at the next power-up
        bool unused;          // the model does not use it: locked in the page
        uint8_t modeBits;     // kPositionBit | kVelocityBit | kTorqueBit
        bool autoTuneLocked;  // locked while real-time auto tuning is on
        const char* help;     // what it does, in a few plain sentences
    };
    using Parameters = std::array<Parameter, kParameterCount>;

    // A selectable model with its parameters.
    struct Model {
        std::string name;  // six characters, as in the model tables ("Vr_006")
        int driveClass;    // 1-3 Vr generations, 4 Qm, 5 Zt
        Parameters parameters;
    };

    // The selectable models, in the order of the model-selection list.
    static int modelCount();
    static Model model(int index);  // an index outside the list gives the first model
    // The model whose name matches a code, ignoring case and treating "-",
    // "_" and blank alike ("VR-007" finds "Vr_007"); false when none does.
    static bool findModel(const std::string& code, Model& out);
    // Parameters of a current-generation drive whose model is not in the
    // list, with the Pr.1F it reports.
    static Parameters currentGeneration(int pr1f);
    // Drive classes whose parameter page comes from tables built into the
    // tool; the other classes read their flags from the model's file.
    static bool hasBuiltInPageTables(int driveClass) { return driveClass == 1 || driveClass == 2; }
};
