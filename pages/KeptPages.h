#pragma once
// The bookmarks and the history kept between runs, as one small text file: every page as the object it
// is (kind, article ids, label, heading, query with its words' flags, strict count, header switch,
// suggestions), never its HTML, so that each is rendered afresh when shown.
//
//   carrolex pages 1
//   position<TAB>N
//   page<TAB>history|bookmark<TAB>kind<TAB>strictCount<TAB>showHeader<TAB>yoAsYe
//   ids<TAB>ID ID ...
//   label<TAB>TEXT  heading<TAB>TEXT  query<TAB>TEXT
//   word<TAB>WR<TAB>WORD         (W, R: 1 or 0, whole word and required)
//   suggestion<TAB>TEXT
//   end
//
// Texts are UTF-8 with \\, \t, \n and \r escaped. Ids are kept as they are: an id the dictionary no
// longer holds shows as any unknown id does.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pages/ResultPage.h"

struct CKeptPages {
  std::vector<CResultPage> history;
  int32_t position = -1;  // the history entry shown, -1 with none
  std::vector<CResultPage> bookmarks;
};

// Only the newest pages of the history are kept; the bookmarks all.
inline constexpr std::size_t kMaxKeptHistory = 500;
// More than any user's bookmarks and 500 pages take; a larger file is not ours.
inline constexpr std::size_t kMaxKeptPagesBytes = std::size_t{16} << 20;

// A kept file that is damaged, cut short or not ours; what() is Windows-1251 and names the line.
class CKeptPagesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file's text, with the newest kMaxKeptHistory pages of the history (the position moved with them).
std::string KeptPagesText(const CKeptPages& pages);
CKeptPages ReadKeptPages(std::string_view text);
