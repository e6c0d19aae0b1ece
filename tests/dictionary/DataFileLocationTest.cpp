#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "dictionary/DataFileLocation.h"
#include "tests/support/TestData.h"

namespace {

using CPaths = std::vector<std::filesystem::path>;

CPaths FoldersWith(const std::map<std::string, std::string>& variables) {
  return DataFileFolders("/opt/carro/bin", [&](const char* name) -> const char* {
    const auto it = variables.find(name);
    return it == variables.end() ? nullptr : it->second.c_str();
  });
}

TEST(DataFileLocation, CurrentFolderThenExecutableThenDataFolders) {
  EXPECT_EQ(
      FoldersWith({{"HOME", "/home/ivan"}}),
      (CPaths{".", "/opt/carro/bin", "/home/ivan/.local/share/TelmoTX/Telmo Carro Lexiconia",
              "/opt/carro/share/TelmoTX/Telmo Carro Lexiconia",
              "/usr/local/share/TelmoTX/Telmo Carro Lexiconia", "/usr/share/TelmoTX/Telmo Carro Lexiconia"}));
  EXPECT_EQ(FoldersWith({{"HOME", "/home/ivan"}, {"XDG_DATA_HOME", "/data"}, {"XDG_DATA_DIRS", "/a::/b"}}),
            (CPaths{".", "/opt/carro/bin", "/data/TelmoTX/Telmo Carro Lexiconia",
                    "/opt/carro/share/TelmoTX/Telmo Carro Lexiconia", "/a/TelmoTX/Telmo Carro Lexiconia",
                    "/b/TelmoTX/Telmo Carro Lexiconia"}));
}

TEST(DataFileLocation, AnInstalledProgramIsListedOnce) {
  const CPaths folders = DataFileFolders("/usr/bin", [](const char* name) -> const char* {
    return std::string_view(name) == "XDG_DATA_DIRS" ? "/usr/share/:/usr/local/share" : nullptr;
  });
  EXPECT_EQ(folders, (CPaths{".", "/usr/bin", "/usr/share/TelmoTX/Telmo Carro Lexiconia",
                             "/usr/local/share/TelmoTX/Telmo Carro Lexiconia"}));
}

TEST(DataFileLocation, FindsTheFirstFolderThatHoldsTheFile) {
  const CTemporaryFolder temporary;
  const auto root = temporary.path;
  std::filesystem::create_directories(root / "first");
  std::filesystem::create_directories(root / "second/carro.dct");  // a folder of that name is no file
  std::filesystem::create_directories(root / "third");
  std::ofstream(root / "third/carro.dct") << "x";
  std::ofstream(root / "fourth.dct") << "x";
  EXPECT_EQ(FindDataFile({root / "first", root / "second", root / "third"}), root / "third/carro.dct");
  EXPECT_EQ(FindDataFile({root / "first", root / "second"}), std::nullopt);
  std::filesystem::create_directories(root / "second/help");
  std::ofstream(root / "second/help/telmo.gif") << "x";
  EXPECT_EQ(FindInFolders({root / "first", root / "second", root / "third"}, kLogoFile),
            root / "second/help/telmo.gif");
}

}  // namespace
