#include "sim/ParameterTable.h"

#include "tables/ParameterCatalogue.h"

namespace drivesim {
namespace {

// The model's parameters from the catalogue; a model the catalogue does not
// list (an older or unknown code) behaves as a current-generation drive.
ParameterCatalogue::Parameters parametersOf(const std::string& modelCode, int16_t pr1f)
{
    ParameterCatalogue::Model model;
    if (ParameterCatalogue::findModel(modelCode, model))
        return model.parameters;
    return ParameterCatalogue::currentGeneration(pr1f);
}

}  // namespace

std::array<int16_t, ParameterTable::kCount> ParameterTable::factoryValues(const std::string& modelCode,
                                                                          uint8_t station, int16_t controlMode,
                                                                          int16_t pr1f)
{
    std::array<int16_t, kCount> values{};
    const ParameterCatalogue::Parameters parameters = parametersOf(modelCode, pr1f);
    for (int i = 0; i < kCount; ++i)
        values[i] = static_cast<int16_t>(parameters[i].factory);
    values[kStation] = station;
    values[kControlMode] = controlMode;
    values[kModelCode] = pr1f;
    return values;
}

bool ParameterTable::accepts(const std::string& modelCode, int parameter, int16_t value)
{
    if (parameter < 0 || parameter >= kCount)
        return false;
    const ParameterCatalogue::Parameters parameters = parametersOf(modelCode, 0);
    const ParameterCatalogue::Parameter& p = parameters[parameter];
    return value >= p.minimum && value <= p.maximum;
}

}  // namespace drivesim
