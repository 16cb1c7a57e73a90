#include "cli/DataFolders.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

}  // namespace

std::vector<std::string> DataFolders(const std::string& dataDirOption, const std::string& currentFolder,
                                     const std::string& programFolder)
{
    if (!dataDirOption.empty())
        return {dataDirOption};
    std::vector<std::string> folders{currentFolder};
    if (!programFolder.empty() && programFolder != currentFolder) {
        folders.push_back(programFolder);
        folders.push_back(joined(programFolder, "../../share/drivara"));
    }
    return folders;
}

std::string FindDataFile(const std::vector<std::string>& folders, const std::string& fileName)
{
    for (const std::string& folder : folders) {
        const std::string path = joined(folder, fileName);
        if (isFile(path))
            return path;
    }
    return std::string();
}

std::string FolderList(const std::vector<std::string>& folders)
{
    std::string list;
    for (const std::string& folder : folders)
        list += (list.empty() ? "" : ", ") + folder;
    return list;
}

std::string CurrentFolder()
{
    char buffer[PATH_MAX] = {};
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

std::string ProgramFolder()
{
    char self[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return std::string();
    const std::string path(self, static_cast<size_t>(n));
    return path.substr(0, path.find_last_of('/'));
}
