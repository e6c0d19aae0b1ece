#pragma once
// The real programs of a format as oracles. A test skips where a tool is missing, unless
// CARRO_REQUIRE_TOOLS is set (the CI set-up installs them all), where it fails.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace external_tool {

inline bool Have(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

struct CResult {
  int exitCode = -1;
  std::string output;  // stdout
};

// Runs a shell command line (the test's own, never built from data) and collects its stdout.
inline CResult Run(const std::string& command) {
  CResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  std::size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.output.append(buffer.data(), read);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace external_tool

#define REQUIRE_TOOL(name)                                                             \
  do {                                                                                 \
    if (!external_tool::Have(name)) {                                                  \
      if (std::getenv("CARRO_REQUIRE_TOOLS")) FAIL() << (name) << " is not installed"; \
      GTEST_SKIP() << (name) << " is not installed";                                   \
    }                                                                                  \
  } while (false)
