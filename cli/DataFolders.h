#pragma once
// Where drivara-cli finds the files the program keeps in its working folder
// (SystemInit-<model>.som, Preference.ini, Language.lng): the folder given
// with --data-dir alone; otherwise the current folder, then the program's
// own folder (the build's runtime folder), then the installed data folder
// beside it (../../share/drivara).

#include <string>
#include <vector>

std::vector<std::string> DataFolders(const std::string& dataDirOption, const std::string& currentFolder,
                                     const std::string& programFolder);
// The first folder holding `fileName`; empty when none does.
std::string FindDataFile(const std::vector<std::string>& folders, const std::string& fileName);
// The folders as one line, for a message.
std::string FolderList(const std::vector<std::string>& folders);

std::string CurrentFolder();
// The folder of the running program.
std::string ProgramFolder();
