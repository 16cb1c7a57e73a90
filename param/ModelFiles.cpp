#include "param/ModelFiles.h"

const char* const kDriverTypeErrorText = "Driver Type Error.";

namespace {

std::string modelFile(const std::string& folder, const DriveType& drive, const char* stem, const char* extension)
{
    if (drive.driveClass < 1 || drive.driveClass > 5)
        return std::string();
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + stem + drive.modelName() + extension;
}

}  // namespace

std::string SystemInitPath(const std::string& workingDirectory, const DriveType& drive)
{
    return modelFile(workingDirectory, drive, "SystemInit-", ".som");
}

std::string ParameterReferencePath(const std::string& workingDirectory, const DriveType& drive)
{
    return modelFile(workingDirectory, drive, "ParameterRef-", ".qdt");
}
