#include "dictionary/Messages.h"

namespace {

std::string Quoted(std::string_view fileName) {
  return std::string("«"_cp) + cp1251::FromUtf8Lossy(fileName) + std::string("»"_cp);
}

}  // namespace

std::string OutdatedDataMessage(std::string_view requiredVersion) {
  return std::string("Для работы с данной версией словаря требуется программа версии не ниже "_cp) +
         std::string(requiredVersion) + ".\n" +
         // Each address on a line of its own, so that no message box breaks one.
         std::string("Новую версию программы можно получить у разработчика:"_cp) + "\n" +
         std::string(kMakerSite) + "\n" + std::string(kMakerEmail);
}

std::string CannotOpenMessage(std::string_view fileName) {
  return std::string("Не удалось открыть файл словаря "_cp) + Quoted(fileName) + ".";
}

std::string CannotReadMessage(std::string_view fileName) {
  return std::string("Не удалось прочитать файл словаря "_cp) + Quoted(fileName) + ".";
}

std::string TooShortMessage(std::string_view fileName) {
  return std::string("Файл "_cp) + Quoted(fileName) +
         std::string(" не является файлом словаря: он короче заголовка."_cp);
}

std::string TooLargeMessage(std::string_view fileName) {
  return std::string("Файл словаря "_cp) + Quoted(fileName) + std::string(" слишком велик: больше 4 ГБ."_cp);
}

std::string NotAFileMessage(std::string_view fileName) {
  return std::string("Файл словаря "_cp) + Quoted(fileName) +
         std::string(" не является обычным файлом (это папка или устройство)."_cp);
}

std::string MetadataDamagedMessage(std::string_view fileName) {
  return std::string("Файл словаря "_cp) + Quoted(fileName) +
         std::string(" повреждён: описание словаря обрывается."_cp);
}

std::string NotFoundMessage(const std::vector<std::string>& placesSearched) {
  std::string message = std::string("Файл словаря carro.dct не найден. Искали в папках:"_cp);
  for (const std::string& place : placesSearched) {
    message += "\n" + cp1251::FromUtf8Lossy(place);
  }
  return message;
}
