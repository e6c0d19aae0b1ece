#pragma once
// The dictionary forms of a word (амортизаторы: амортизатор; brakes: brake), from the Hunspell
// dictionaries the system has for Russian, English and German. A language without its dictionary
// gives no forms; nothing else depends on it. The dictionaries load at the first question.

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
  void Load();

  std::vector<std::filesystem::path> folders;
  bool loaded = false;
  std::vector<std::pair<std::string, std::unique_ptr<Hunspell>>> spellers;
};
