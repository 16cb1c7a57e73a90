// compare: the drive's parameters against a parameter-set file or the
// model's factory values, over the parameters the file's page mode shows.

#include "cli/CliCommands.h"
#include "cli/CliExit.h"
#include "cli/CliPage.h"
#include "cli/CliTexts.h"
#include "cli/DriveSession.h"
#include "cli/OptionValues.h"
#include "cli/PlainText.h"
#include "param/PageMode.h"
#include "param/ParameterCompare.h"
#include "texts/LoadText.h"

namespace {

constexpr int kDriveColumn = 0;
constexpr int kOtherColumn = 1;

}  // namespace

int RunCompare(CliContext& context, CommandOutput& output)
{
    const bool factory = context.line.has("factory");
    if (factory == !context.line.arguments.empty())
        return context.fail(kExitUsage, LoadText(kTextCompareWhat));
    const std::string path = factory ? std::string() : context.line.arguments.front();
    const int mode = factory ? PageModeParameter : PageModeOfPath(path);
    if (mode == 0)
        return context.fail(kExitUsage, path + LoadText(kTextNeedsPageExtension));

    DriveSession session(context);
    if (const int code = session.connectWithModel())
        return code;
    CliPageHost host(context, LoadText(kTextReadingParameters));
    const CliPage built = BuildCliPage(context, session.drive(), mode, true, host);
    const ParameterPage& page = *built.page;

    ParameterValues other{};
    if (factory) {
        if (built.systemInitPath.empty())
            return context.fail(kExitUsage, MissingSystemInitText(context, built));
        if (!ReadFactoryValues(page, other))
            return context.fail(kExitUsage, built.systemInitPath + LoadText(kTextFileNotLoaded));
    } else if (!ReadCompareValuesFromFile(page, path, other)) {
        return context.fail(kExitUsage, path + LoadText(kTextFileNotLoaded));
    }
    ParameterValues drive{};
    if (!ReadCompareValuesFromDrive(drive))
        return context.fail(kExitDriveFailure, LoadText(kTextReadFailed));

    ParameterCompare compare(page.visibleParameters());
    const std::string otherName = factory ? std::string("factory") : std::string("file");
    compare.setColumn(kDriveColumn, drive, "drive");
    compare.setColumn(kOtherColumn, other, factory ? built.systemInitPath : path);
    compare.choose(kDriveColumn, kOtherColumn);
    compare.setOnlyDifferences(true);

    JsonValue& data = output.data;
    data.set("model", page.modelName());
    data.set(otherName, compare.origin(kOtherColumn));
    data.set("compared", page.rowCount());
    JsonValue& differences = data.set("differences", JsonValue::array());
    for (const CompareRow& row : compare.rows()) {
        const std::string definition = TrimBlanks(page.row(page.rowOf(row.parameter)).definition);
        JsonValue difference = JsonValue::object();
        difference.set("parameter", ParameterName(row.parameter));
        difference.set("drive", *row.left);
        difference.set(otherName, *row.right);
        difference.set("definition", definition.empty() ? JsonValue() : JsonValue(definition));
        differences.push(difference);
        output.lines.push_back(ParameterName(row.parameter) + "  drive " + std::to_string(*row.left) + "  " +
                               otherName + " " + std::to_string(*row.right) +
                               (definition.empty() ? std::string() : "  " + definition));
    }
    data.set("differ", compare.differenceCount());
    if (compare.differenceCount() == 0)
        return kExitOk;
    context.warn(std::to_string(compare.differenceCount()) + LoadText(1132));
    return kExitDiffers;
}
