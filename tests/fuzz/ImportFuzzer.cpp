// Any bytes as a glossary of each format: a reader either refuses them with its error or gives
// articles that make a data file the loader reads whole. The first byte picks the reader (and
// whether bad entries are skipped); StarDict's and dictd's files are cut from the rest at NUL NUL.
#include <string_view>
#include <vector>

#include "dictionary/Dictionary.h"
#include "formats/Csv.h"
#include "formats/Dictd.h"
#include "formats/Dictzip.h"
#include "formats/Dsl.h"
#include "formats/Merge.h"
#include "formats/StarDict.h"
#include "formats/Tbx.h"

namespace {

std::vector<std::string_view> Parts(std::string_view bytes, std::size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const std::size_t cut = bytes.find(std::string_view("\0\0", 2));
    if (cut == std::string_view::npos) break;
    parts.push_back(bytes.substr(0, cut));
    bytes.remove_prefix(cut + 2);
  }
  parts.push_back(bytes);
  parts.resize(count);
  return parts;
}

CGlossary Read(unsigned char reader, std::string_view bytes, const CImportOptions& options) {
  switch (reader % 6) {
    case 0:
      return ReadCsv(bytes, "fuzz.csv", options);
    case 1:
      return ReadDsl(bytes, "fuzz.dsl", options);
    case 2:
      return ReadTbx(bytes, "fuzz.tbx", options);
    case 3: {
      const auto parts = Parts(bytes, 4);
      return ReadStarDict(parts[0], parts[1], parts[2], parts[3], "fuzz.ifo", options);
    }
    case 4: {
      const auto parts = Parts(bytes, 2);
      return ReadDictd(parts[0], parts[1], "fuzz.index", options);
    }
    default:
      return ReadDsl(Inflate(bytes, "fuzz.dsl.dz", 1 << 22), "fuzz.dsl.dz", options);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  CImportOptions options;
  options.keepGoing = (data[0] & 0x80) != 0;
  options.how.lossy = (data[0] & 0x40) != 0;
  CGlossary glossary;
  try {
    glossary = Read(data[0], bytes, options);
  } catch (const CFormatError&) {
    return 0;
  }
  CMerge merge;
  merge.Add(glossary);
  const std::string file = merge.Bytes();
  CDictionary dictionary;
  dictionary.LoadBytes({file.begin(), file.end()}, "merged.dct");
  if (dictionary.LoadDamaged() || dictionary.ArticleCount() != merge.ArticleCount()) __builtin_trap();
  return 0;
}
