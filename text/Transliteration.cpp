#include "text/Transliteration.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Sorted by code point: the Latin-1 letters, Latin Extended-A and the capital sharp s.
constexpr std::array<std::pair<char32_t, std::string_view>, 191> kLatin = {{
    {U'À', "A"},  {U'Á', "A"},  {U'Â', "A"},  {U'Ã', "A"}, {U'Ä', "Ae"}, {U'Å', "A"},  {U'Æ', "AE"},
    {U'Ç', "C"},  {U'È', "E"},  {U'É', "E"},  {U'Ê', "E"}, {U'Ë', "E"},  {U'Ì', "I"},  {U'Í', "I"},
    {U'Î', "I"},  {U'Ï', "I"},  {U'Ð', "D"},  {U'Ñ', "N"}, {U'Ò', "O"},  {U'Ó', "O"},  {U'Ô', "O"},
    {U'Õ', "O"},  {U'Ö', "Oe"}, {U'Ø', "O"},  {U'Ù', "U"}, {U'Ú', "U"},  {U'Û', "U"},  {U'Ü', "Ue"},
    {U'Ý', "Y"},  {U'Þ', "Th"}, {U'ß', "ss"}, {U'à', "a"}, {U'á', "a"},  {U'â', "a"},  {U'ã', "a"},
    {U'ä', "ae"}, {U'å', "a"},  {U'æ', "ae"}, {U'ç', "c"}, {U'è', "e"},  {U'é', "e"},  {U'ê', "e"},
    {U'ë', "e"},  {U'ì', "i"},  {U'í', "i"},  {U'î', "i"}, {U'ï', "i"},  {U'ð', "d"},  {U'ñ', "n"},
    {U'ò', "o"},  {U'ó', "o"},  {U'ô', "o"},  {U'õ', "o"}, {U'ö', "oe"}, {U'ø', "o"},  {U'ù', "u"},
    {U'ú', "u"},  {U'û', "u"},  {U'ü', "ue"}, {U'ý', "y"}, {U'þ', "th"}, {U'ÿ', "y"},  {U'Ā', "A"},
    {U'ā', "a"},  {U'Ă', "A"},  {U'ă', "a"},  {U'Ą', "A"}, {U'ą', "a"},  {U'Ć', "C"},  {U'ć', "c"},
    {U'Ĉ', "C"},  {U'ĉ', "c"},  {U'Ċ', "C"},  {U'ċ', "c"}, {U'Č', "C"},  {U'č', "c"},  {U'Ď', "D"},
    {U'ď', "d"},  {U'Đ', "D"},  {U'đ', "d"},  {U'Ē', "E"}, {U'ē', "e"},  {U'Ĕ', "E"},  {U'ĕ', "e"},
    {U'Ė', "E"},  {U'ė', "e"},  {U'Ę', "E"},  {U'ę', "e"}, {U'Ě', "E"},  {U'ě', "e"},  {U'Ĝ', "G"},
    {U'ĝ', "g"},  {U'Ğ', "G"},  {U'ğ', "g"},  {U'Ġ', "G"}, {U'ġ', "g"},  {U'Ģ', "G"},  {U'ģ', "g"},
    {U'Ĥ', "H"},  {U'ĥ', "h"},  {U'Ħ', "H"},  {U'ħ', "h"}, {U'Ĩ', "I"},  {U'ĩ', "i"},  {U'Ī', "I"},
    {U'ī', "i"},  {U'Ĭ', "I"},  {U'ĭ', "i"},  {U'Į', "I"}, {U'į', "i"},  {U'İ', "I"},  {U'ı', "i"},
    {U'Ĳ', "IJ"}, {U'ĳ', "ij"}, {U'Ĵ', "J"},  {U'ĵ', "j"}, {U'Ķ', "K"},  {U'ķ', "k"},  {U'ĸ', "k"},
    {U'Ĺ', "L"},  {U'ĺ', "l"},  {U'Ļ', "L"},  {U'ļ', "l"}, {U'Ľ', "L"},  {U'ľ', "l"},  {U'Ŀ', "L"},
    {U'ŀ', "l"},  {U'Ł', "L"},  {U'ł', "l"},  {U'Ń', "N"}, {U'ń', "n"},  {U'Ņ', "N"},  {U'ņ', "n"},
    {U'Ň', "N"},  {U'ň', "n"},  {U'ŉ', "n"},  {U'Ŋ', "N"}, {U'ŋ', "n"},  {U'Ō', "O"},  {U'ō', "o"},
    {U'Ŏ', "O"},  {U'ŏ', "o"},  {U'Ő', "O"},  {U'ő', "o"}, {U'Œ', "OE"}, {U'œ', "oe"}, {U'Ŕ', "R"},
    {U'ŕ', "r"},  {U'Ŗ', "R"},  {U'ŗ', "r"},  {U'Ř', "R"}, {U'ř', "r"},  {U'Ś', "S"},  {U'ś', "s"},
    {U'Ŝ', "S"},  {U'ŝ', "s"},  {U'Ş', "S"},  {U'ş', "s"}, {U'Š', "S"},  {U'š', "s"},  {U'Ţ', "T"},
    {U'ţ', "t"},  {U'Ť', "T"},  {U'ť', "t"},  {U'Ŧ', "T"}, {U'ŧ', "t"},  {U'Ũ', "U"},  {U'ũ', "u"},
    {U'Ū', "U"},  {U'ū', "u"},  {U'Ŭ', "U"},  {U'ŭ', "u"}, {U'Ů', "U"},  {U'ů', "u"},  {U'Ű', "U"},
    {U'ű', "u"},  {U'Ų', "U"},  {U'ų', "u"},  {U'Ŵ', "W"}, {U'ŵ', "w"},  {U'Ŷ', "Y"},  {U'ŷ', "y"},
    {U'Ÿ', "Y"},  {U'Ź', "Z"},  {U'ź', "z"},  {U'Ż', "Z"}, {U'ż', "z"},  {U'Ž', "Z"},  {U'ž', "z"},
    {U'ſ', "s"},  {U'ẞ', "SS"},
}};

static_assert(std::is_sorted(kLatin.begin(), kLatin.end()));

}  // namespace

std::string_view Transliterated(char32_t c) {
  const auto found =
      std::lower_bound(kLatin.begin(), kLatin.end(), std::pair<char32_t, std::string_view>(c, {}));
  return found != kLatin.end() && found->first == c ? found->second : std::string_view();
}
