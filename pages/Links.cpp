#include "pages/Links.h"

#include "text/Integer.h"

namespace {

CLink Numbered(CLink::CKind kind, std::string_view rest) {
  const auto number = ParseInt32(rest.starts_with('+') ? rest.substr(1) : rest);
  if (!number) return {.kind = CLink::CKind::NotANumber, .rest = rest};
  return {.kind = kind, .number = *number};
}

}  // namespace

CLink ParseLink(std::string_view url) {
  if (url.starts_with(kArticleScheme))
    return Numbered(CLink::CKind::Article, url.substr(kArticleScheme.size()));
  if (url == kAllVariantsLink) return {.kind = CLink::CKind::AllVariants};
  if (url.starts_with(kVariantScheme))
    return Numbered(CLink::CKind::Variant, url.substr(kVariantScheme.size()));
  if (url.starts_with(kBookmarkScheme))
    return Numbered(CLink::CKind::Bookmark, url.substr(kBookmarkScheme.size()));
  if (url.starts_with(kSearchSuggestionScheme))
    return Numbered(CLink::CKind::SearchSuggestion, url.substr(kSearchSuggestionScheme.size()));
  if (url.starts_with(kTypeSuggestionScheme))
    return Numbered(CLink::CKind::TypeSuggestion, url.substr(kTypeSuggestionScheme.size()));
  return {.kind = CLink::CKind::Outside};
}
