#pragma once
// User-facing texts of the data file, in Windows-1251. The window shows them in message
// boxes, `carro` on stderr.

#include <string>
#include <string_view>
#include <vector>

#include "dictionary/ProgramInfo.h"
#include "text/Cp1251.h"

inline constexpr std::string_view kProgramTitle = "ТЕЛМО Карролексия"_cp;
inline constexpr std::string_view kProductName = "TELMO Carro Lexiconia";
inline constexpr std::string_view kDataFileName = "carro.dct";

// The maker's addresses and credits: the about page, the export foot and the outdated-data
// message take them from here.
inline constexpr std::string_view kMakerSite = "https://www.example.com/carro/";
inline constexpr std::string_view kMakerEmail = "carro@example.com";
inline constexpr std::string_view kMakerOnlineDictionary = "https://www.example.com/carro/online/";
inline constexpr std::string_view kCreditData = "Редакция словарей ТЕЛМО"_cp;
inline constexpr std::string_view kCreditProgramming = "Группа разработки ТЕЛМО"_cp;
inline constexpr std::string_view kLegalNotice =
    "<p><font size=-1>&copy; 2026 ТЕЛМО. Все права защищены.</font></p>"_cp;
// The small print that closes every saved, printed or browsed page.
inline constexpr std::string_view kExportCredit =
    "Страница подготовлена программой ТЕЛМО Карролексия " CARRO_VERSION
    ". Интернет-версия словаря: "
    "<a href=https://www.example.com/carro/online/>https://www.example.com/carro/online/</a>"_cp;

inline constexpr std::string_view kLoadErrorMessage = "Ошибка загрузки словаря"_cp;
inline constexpr std::string_view kOutdatedCaption = "Устаревшая версия программы"_cp;
inline constexpr std::string_view kOutOfMemoryMessage = "недостаточно памяти"_cp;

std::string OutdatedDataMessage(std::string_view requiredVersion);

// `fileName` is a file system name (UTF-8); the messages are Windows-1251.
std::string CannotOpenMessage(std::string_view fileName);
std::string CannotReadMessage(std::string_view fileName);
std::string TooShortMessage(std::string_view fileName);
std::string TooLargeMessage(std::string_view fileName);
std::string NotAFileMessage(std::string_view fileName);
std::string MetadataDamagedMessage(std::string_view fileName);
std::string NotFoundMessage(const std::vector<std::string>& placesSearched);
