#pragma once
// The program's own links: written into pages and panes, read back when the user clicks one. Every
// other URL leads outside the program.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kArticleScheme = "article://";
inline constexpr std::string_view kVariantScheme = "variant://";
inline constexpr std::string_view kBookmarkScheme = "bookmark://";
inline constexpr std::string_view kAllVariantsLink = "variant://all";
// Suggestions are named by their place in the page's or the pane's list, so no typed text goes into a URL.
inline constexpr std::string_view kSearchSuggestionScheme = "search://";
inline constexpr std::string_view kTypeSuggestionScheme = "type://";

inline std::string ArticleLink(int32_t id) {
  return std::string(kArticleScheme) + std::to_string(id);
}
inline std::string VariantLink(int32_t entry) {
  return std::string(kVariantScheme) + std::to_string(entry);
}
inline std::string BookmarkLink(int32_t entry) {
  return std::string(kBookmarkScheme) + std::to_string(entry);
}
inline std::string SearchSuggestionLink(int32_t entry) {
  return std::string(kSearchSuggestionScheme) + std::to_string(entry);
}
inline std::string TypeSuggestionLink(int32_t entry) {
  return std::string(kTypeSuggestionScheme) + std::to_string(entry);
}

struct CLink {
  enum class CKind {
    Article,           // `number` is the article id
    Variant,           // `number` is the entry of the variants list
    AllVariants,       // the page of all variants
    Bookmark,          // `number` is the position in the bookmarks
    SearchSuggestion,  // `number` is the entry of the page's suggestions: search for it
    TypeSuggestion,    // `number` is the entry of the variants pane's suggestions: type it
    NotANumber,        // one of our schemes, followed by `rest`, which is no whole number
    Outside,           // any other URL
  };
  CKind kind;
  int32_t number = 0;
  std::string_view rest{};

  bool operator==(const CLink&) const = default;
};

// The schemes compare exactly, case included; the number is the whole rest, one "+" allowed.
CLink ParseLink(std::string_view url);
