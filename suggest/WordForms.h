#pragma once
// The dictionary forms of a word (амортизаторы: амортизатор; brakes: brake), from the Hunspell
// dictionaries the system has for Russian, English and German. A language without its dictionary
// gives no forms; nothing else depends on it. Each dictionary loads at the first word of its script.

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Hunspell;

class CWordForms {
 public:
  // Hunspell's own places: $DICPATH, then the system's dictionary folders.
  static std::vector<std::filesystem::path> StandardFolders();

  explicit CWordForms(std::vector<std::filesystem::path> folders = StandardFolders());
  ~CWordForms();
  CWordForms(CWordForms&&) noexcept;
  CWordForms& operator=(CWordForms&&) noexcept;

  // The dictionary forms of `word` (Windows-1251) in every language that knows it, Windows-1251,
  // without repeats; the word itself is among them only where it is its own form.
  std::vector<std::string> Stems(std::string_view word);
  // The languages whose dictionaries were found, as their file names say (ru_RU, en_US, de_DE).
  std::vector<std::string> Languages();

 private:
  struct CLanguageSlot {
    bool looked = false;
    std::unique_ptr<Hunspell> speller;  // none when the language's dictionary was not found
  };
  // The language's dictionary, loaded the first time it is needed.
  Hunspell* Speller(std::size_t language);

  std::vector<std::filesystem::path> folders;
  std::array<CLanguageSlot, 3> spellers;
};
