#pragma once
// Where the program looks for carro.dct and the help folder: the current folder, the executable's
// folder, then the per-user data folder, the installation's own data folder (../share beside the
// executable's folder, wherever the program was installed) and the system data folders.

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "dictionary/ProgramInfo.h"

// The about page's logo, as the page refers to it.
inline constexpr const char* kLogoFile = "help/telmo.gif";

using CEnvironmentLookup = std::function<const char*(const char* name)>;
// The process's own environment, as the programs look it up; tests give lookups of their own.
inline const char* ProcessEnvironment(const char* name) {
  return std::getenv(name);
}

// The folders in search order, each once; `environment` reads XDG_DATA_HOME, HOME and XDG_DATA_DIRS.
std::vector<std::filesystem::path> DataFileFolders(const std::filesystem::path& executableFolder,
                                                   const CEnvironmentLookup& environment);

// The first folder that holds the file `name` (a relative path), with that file's path.
std::optional<std::filesystem::path> FindInFolders(const std::vector<std::filesystem::path>& folders,
                                                   const std::filesystem::path& name);

// The first folder's carro.dct that exists.
std::optional<std::filesystem::path> FindDataFile(const std::vector<std::filesystem::path>& folders);

// The user's own data folder (XDG_DATA_HOME, else ~/.local/share, with the program's subfolder), where
// a dictionary with the user's glossaries added is written; none without either variable.
std::optional<std::filesystem::path> UserDataFolder(const CEnvironmentLookup& environment);

// The data file to use: the user's own one (written only when the user adds a glossary, and holding
// the dictionary it was added to) before the first of `folders`.
std::optional<std::filesystem::path> FindDataFileForUser(const std::vector<std::filesystem::path>& folders,
                                                         const CEnvironmentLookup& environment);
