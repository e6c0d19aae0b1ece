#include <iostream>

#include "cli/Carro.h"
#include "dictionary/DataFileLocation.h"

int main(int argc, char** argv) {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  const CCarroContext context{error ? std::filesystem::path(".") : executable.parent_path(),
                              ProcessEnvironment};
  return RunCarro({argv + 1, argv + argc}, std::cout, std::cerr, context);
}
