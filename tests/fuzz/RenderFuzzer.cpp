// Any bytes as a data file: every page it gives renders, whatever its texts hold.
#include "tests/fuzz/FuzzedDictionary.h"
#include "tests/fuzz/FuzzedPages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (const auto dictionary = FuzzedDictionary(data, size))
    ForEachFuzzedPage(*dictionary, [](const CHtmlLines& lines) {
      std::size_t total = 0;
      for (const std::string& line : lines) total += line.size();
      (void)total;
    });
  return 0;
}
