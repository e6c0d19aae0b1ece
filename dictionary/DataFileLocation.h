#pragma once
// Where the program looks for carro.dct: the current folder, the executable's folder, then
// the per-user and system application data folders.

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

inline constexpr const char* kAppDataSubfolder = "TelmoTX/Telmo Carro Lexiconia";

using CEnvironmentLookup = std::function<const char*(const char* name)>;

// The folders in search order; `environment` reads XDG_DATA_HOME, HOME and XDG_DATA_DIRS.
std::vector<std::filesystem::path> DataFileFolders(const std::filesystem::path& executableFolder,
                                                   const CEnvironmentLookup& environment);

// The first folder's carro.dct that exists.
std::optional<std::filesystem::path> FindDataFile(const std::vector<std::filesystem::path>& folders);
