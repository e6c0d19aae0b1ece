#include "dictionary/DataFileLocation.h"

#include <string_view>

#include "dictionary/Messages.h"

std::vector<std::filesystem::path> DataFileFolders(const std::filesystem::path& executableFolder,
                                                   const CEnvironmentLookup& environment) {
  const auto variable = [&](const char* name) -> std::string_view {
    const char* value = environment(name);
    return value ? value : "";
  };
  std::vector<std::filesystem::path> folders = {std::filesystem::path("."), executableFolder};
  if (!variable("XDG_DATA_HOME").empty())
    folders.push_back(std::filesystem::path(variable("XDG_DATA_HOME")));
  else if (!variable("HOME").empty())
    folders.push_back(std::filesystem::path(variable("HOME")) / ".local/share");
  std::string_view dataDirs = variable("XDG_DATA_DIRS");
  if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
  while (!dataDirs.empty()) {
    const std::size_t colon = std::min(dataDirs.find(':'), dataDirs.size());
    if (colon > 0) folders.push_back(std::filesystem::path(dataDirs.substr(0, colon)));
    dataDirs.remove_prefix(std::min(colon + 1, dataDirs.size()));
  }
  for (std::size_t i = 2; i < folders.size(); ++i) folders[i] /= kAppDataSubfolder;
  return folders;
}

std::optional<std::filesystem::path> FindDataFile(const std::vector<std::filesystem::path>& folders) {
  for (const auto& folder : folders) {
    std::error_code error;
    const auto candidate = folder / kDataFileName;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}
