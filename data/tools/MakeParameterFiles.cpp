// Writes the parameter data files of every selectable model from the
// parameter catalogue: SystemInit-<model>.som and ParameterRef-<model>.qdt.
// A catalogue that breaks the files' limits stops the build instead.

#include "platform/AtomicFile.h"
#include "tables/ParameterCatalogue.h"
#include "tables/ParameterFileText.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool writeFile(const fs::path& path, const std::string& text)
{
    if (platform::writeFileAtomically(path.string(), text))
        return true;
    std::fprintf(stderr, "MakeParameterFiles: cannot write %s\n", path.string().c_str());
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: MakeParameterFiles <output folder> [<stamp file>]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::error_code error;
    fs::create_directories(folder, error);

    bool sound = true;
    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const ParameterCatalogue::Model model = ParameterCatalogue::model(i);
        for (const std::string& problem : ParameterFileText::problems(model)) {
            std::fprintf(stderr, "MakeParameterFiles: %s: %s\n", model.name.c_str(), problem.c_str());
            sound = false;
        }
    }
    if (!sound)
        return 1;

    for (int i = 0; i < ParameterCatalogue::modelCount(); ++i) {
        const ParameterCatalogue::Model model = ParameterCatalogue::model(i);
        if (!writeFile(folder / ParameterFileText::systemInitFileName(model.name),
                       ParameterFileText::systemInitFile(model)) ||
            !writeFile(folder / ParameterFileText::parameterRefFileName(model.name),
                       ParameterFileText::parameterRefFile(model)))
            return 1;
    }
    if (argc == 3 && !writeFile(argv[2], "parameter files written\n"))
        return 1;
    return 0;
}
