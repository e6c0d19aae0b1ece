#pragma once
// The paths of the search's scan, for tests that run once on each.

#include <gtest/gtest.h>

#include <string>

#include "search/Search.h"

inline auto EveryScanPath() {
  return testing::Values(CScanPath::Portable, CScanPath::Wide, CScanPath::Widest);
}

inline std::string ScanPathName(const testing::TestParamInfo<CScanPath>& info) {
  return info.param == CScanPath::Widest ? "Widest" : info.param == CScanPath::Wide ? "Wide" : "Portable";
}
