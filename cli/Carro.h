#pragma once
// The command-line companion: look-ups, page export and building data files.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "dictionary/DataFileLocation.h"

struct CCarroContext {
  std::filesystem::path executableFolder;  // where the data file is looked for after "."
  CEnvironmentLookup environment;
};

// Runs one command; `args` without the program name. Returns the exit code:
// 0 done, 1 usage error, 2 the data file cannot be used.
int RunCarro(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const CCarroContext& context);
