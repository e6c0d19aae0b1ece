#pragma once
// Latin letters that Windows-1251 lacks, written the way German and the dictionary data write them
// when the letter is missing: ä as ae, ß as ss, with capitals kept (Ä as Ae, ẞ as SS); other letters
// with marks lose the mark (é as e, ł as l).

#include <string_view>

// The letters that stand for `c`; empty where the table has none.
std::string_view Transliterated(char32_t c);
