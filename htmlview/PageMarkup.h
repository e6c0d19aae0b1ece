#pragma once
// A page's HTML made safe and quick for Qt to read, read as a browser reads it. Qt takes minutes
// over deep nesting, long unbroken words and large documents, where a browser takes milliseconds;
// dictionary texts from anywhere may hold all three.

#include <cstddef>
#include <string>
#include <string_view>

// Elements nested deeper than this lose their tags; their text stays.
inline constexpr int kMaxMarkupDepth = 500;
// Longest run of characters laid out without a break opportunity.
inline constexpr int kMaxUnbrokenRun = 200;
// Most of a page (Windows-1251 bytes) that the screen shows; saving and printing take it all.
inline constexpr std::size_t kMaxShownPageBytes = 1 << 20;

// `html` (Windows-1251) with every unquoted attribute value quoted (Qt ends one at "=" and reads
// "/>" in it as the end of the tag), <link> tags dropped (Qt reads the rest of the page into one),
// and the tags nested deeper than kMaxMarkupDepth left out.
std::string BrowserReadableMarkup(std::string_view html);

// The first `limit` bytes of `html` or fewer, cut outside a tag and an entity, followed by a note
// that the rest of the page was left out; `html` itself when it is not longer.
std::string ShownPart(std::string_view html, std::size_t limit = kMaxShownPageBytes);

// `html` (UTF-8) with a zero-width space after every kMaxUnbrokenRun characters of text that hold
// no white space, so that Qt never lays out a longer unbroken run.
std::string WithBreaksInLongRuns(std::string_view html);

// The zero-width space that WithBreaksInLongRuns inserts, in UTF-8.
inline constexpr std::string_view kInsertedBreak = "\xE2\x80\x8B";
