#include "dictionary/DataFileLocation.h"

#include <algorithm>
#include <string_view>

#include "dictionary/Messages.h"

namespace {

std::optional<std::filesystem::path> UserDataHome(const CEnvironmentLookup& environment) {
  const char* dataHome = environment("XDG_DATA_HOME");
  if (dataHome && *dataHome) return std::filesystem::path(dataHome);
  const char* home = environment("HOME");
  if (home && *home) return std::filesystem::path(home) / ".local/share";
  return std::nullopt;
}

}  // namespace

std::vector<std::filesystem::path> DataFileFolders(const std::filesystem::path& executableFolder,
                                                   const CEnvironmentLookup& environment) {
  const auto variable = [&](const char* name) -> std::string_view {
    const char* value = environment(name);
    return value ? value : "";
  };
  std::vector<std::filesystem::path> dataFolders;
  if (const auto user = UserDataHome(environment)) dataFolders.push_back(*user);
  dataFolders.push_back((executableFolder / "../share").lexically_normal());
  std::string_view dataDirs = variable("XDG_DATA_DIRS");
  if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
  while (!dataDirs.empty()) {
    const std::size_t colon = std::min(dataDirs.find(':'), dataDirs.size());
    if (colon > 0) dataFolders.emplace_back(dataDirs.substr(0, colon));
    dataDirs.remove_prefix(std::min(colon + 1, dataDirs.size()));
  }

  std::vector<std::filesystem::path> folders = {std::filesystem::path("."), executableFolder};
  for (const auto& dataFolder : dataFolders) {
    const auto folder = (dataFolder / kAppDataSubfolder).lexically_normal();
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  return folders;
}

std::optional<std::filesystem::path> FindInFolders(const std::vector<std::filesystem::path>& folders,
                                                   const std::filesystem::path& name) {
  for (const auto& folder : folders) {
    std::error_code error;
    const auto candidate = folder / name;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> FindDataFile(const std::vector<std::filesystem::path>& folders) {
  return FindInFolders(folders, kDataFileName);
}

std::optional<std::filesystem::path> UserDataFolder(const CEnvironmentLookup& environment) {
  const auto home = UserDataHome(environment);
  if (!home) return std::nullopt;
  return (*home / kAppDataSubfolder).lexically_normal();
}

std::optional<std::filesystem::path> FindDataFileForUser(const std::vector<std::filesystem::path>& folders,
                                                         const CEnvironmentLookup& environment) {
  if (const auto user = UserDataFolder(environment)) {
    if (auto own = FindInFolders({*user}, kDataFileName)) return own;
  }
  return FindDataFile(folders);
}
