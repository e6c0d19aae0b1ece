#include "suggest/WordForms.h"

#include <hunspell.hxx>

#include <algorithm>
#include <cstdlib>

#include "text/Cp1251.h"

namespace {

struct CSpellerLanguage {
  std::string_view name;  // as the dictionary files are named
  bool cyrillic;          // the script of its words
};
constexpr CSpellerLanguage kLanguages[] = {{"ru_RU", true}, {"en_US", false}, {"de_DE", false}};
// Longer than any word of the trade; Hunspell has limits of its own beyond it.
constexpr std::size_t kMaxWordLength = 64;

// The data writes ä, ö, ü and ß as ae, oe, ue and ss, which the German dictionary does not know: the
// word as written, with its umlauts, and with its ß as well.
std::vector<std::string> GermanSpellings(const std::string& utf8) {
  static constexpr std::pair<std::string_view, std::string_view> kUmlauts[] = {
      {"ae", "\u00e4"}, {"oe", "\u00f6"}, {"ue", "\u00fc"},
      {"Ae", "\u00c4"}, {"Oe", "\u00d6"}, {"Ue", "\u00dc"}};
  const auto replaced = [](std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
    return text;
  };
  std::vector<std::string> spellings = {utf8};
  std::string umlauts = utf8;
  for (const auto& [from, to] : kUmlauts) umlauts = replaced(umlauts, from, to);
  if (umlauts != utf8) spellings.push_back(umlauts);
  const std::string sharp = replaced(umlauts, "ss", "\u00df");
  if (sharp != umlauts) spellings.push_back(sharp);
  return spellings;
}

}  // namespace

std::vector<std::filesystem::path> CWordForms::StandardFolders() {
  std::vector<std::filesystem::path> found;
  if (const char* dicPath = std::getenv("DICPATH")) {
    for (std::string_view rest = dicPath; !rest.empty();) {
      const std::size_t colon = std::min(rest.find(':'), rest.size());
      if (colon > 0) found.emplace_back(rest.substr(0, colon));
      rest.remove_prefix(std::min(colon + 1, rest.size()));
    }
  }
  for (const char* folder : {"/usr/share/hunspell", "/usr/share/myspell", "/usr/share/myspell/dicts"})
    found.emplace_back(folder);
  return found;
}

CWordForms::CWordForms(std::vector<std::filesystem::path> places) : folders(std::move(places)) {}
CWordForms::~CWordForms() = default;
CWordForms::CWordForms(CWordForms&&) noexcept = default;
CWordForms& CWordForms::operator=(CWordForms&&) noexcept = default;

Hunspell* CWordForms::Speller(std::size_t language) {
  static_assert(std::size(kLanguages) == std::tuple_size_v<decltype(spellers)>);
  CLanguageSlot& slot = spellers[language];
  if (slot.looked) return slot.speller.get();
  slot.looked = true;
  const std::string name(kLanguages[language].name);
  for (const auto& folder : folders) {
    const auto aff = folder / (name + ".aff");
    const auto dic = folder / (name + ".dic");
    std::error_code error;
    if (!std::filesystem::is_regular_file(aff, error) || !std::filesystem::is_regular_file(dic, error))
      continue;
    auto speller = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
    // Words go to Hunspell in UTF-8; a dictionary in another encoding would read them wrongly.
    if (speller->get_dict_encoding() == "UTF-8") slot.speller = std::move(speller);
    break;
  }
  return slot.speller.get();
}

std::vector<std::string> CWordForms::Stems(std::string_view word) {
  std::vector<std::string> stems;
  if (word.empty() || word.size() > kMaxWordLength) return stems;
  const bool cyrillic =
      std::any_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  const std::string utf8 = cp1251::ToUtf8(word);
  for (std::size_t language = 0; language < std::size(kLanguages); ++language) {
    // Only the languages of the word's script: a Russian user never waits for the English dictionary.
    if (kLanguages[language].cyrillic != cyrillic) continue;
    Hunspell* speller = Speller(language);
    if (!speller) continue;
    for (const std::string& spelling :
         kLanguages[language].name == "de_DE" ? GermanSpellings(utf8) : std::vector{utf8})
      for (const std::string& stem : speller->stem(spelling)) {
        // German forms come with their umlauts; the data writes them as ae, oe, ue and ss.
        std::string written = cp1251::FromTypedText(stem);
        if (written.find('?') != std::string::npos) continue;
        if (std::find(stems.begin(), stems.end(), written) == stems.end())
          stems.push_back(std::move(written));
      }
  }
  return stems;
}

std::vector<std::string> CWordForms::Languages() {
  std::vector<std::string> names;
  for (std::size_t language = 0; language < std::size(kLanguages); ++language)
    if (Speller(language)) names.emplace_back(kLanguages[language].name);
  return names;
}
