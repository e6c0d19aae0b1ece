// Any bytes as a data file: the load either refuses them with its error or keeps what it read,
// and every article it keeps can be used.
#include "tests/fuzz/FuzzedDictionary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto dictionary = FuzzedDictionary(data, size);
  if (!dictionary) return 0;
  for (const CArticle& article : dictionary->Articles()) {
    (void)article.Title();
    (void)dictionary->PositionOf(article.id);
    (void)dictionary->SynonymGroupMembers(article.synonymGroup);
  }
  return 0;
}
