#pragma once
// A small store for the page tests: the brake article first, one synonym group stored out of
// id order, a group whose head has no definition, and a group of one.

#include <initializer_list>

#include "pages/PageRenderer.h"
#include "tests/support/TestData.h"

inline const CDictionary& SynonymStore() {
  static const CDictionary store = Loaded(FileBytes({
      Brake(),
      {.id = 11, .language = 2, .synonymGroup = 10, .term = "disk brake"},
      {.id = 10,
       .language = 2,
       .synonymGroup = 10,
       .term = "disc brake",
       .translation = "дисковый тормоз"_cp,
       .definition = "Тормоз с <b>диском</b>."_cp,
       .seeAlso = "колодка"_cp},
      {.id = 12,
       .language = 5,
       .synonymGroup = 10,
       .translation = "дисковый механизм"_cp,
       .definition = "Узел."_cp,
       .seeAlso = "суппорт"_cp},
      {.id = 20, .language = 2, .synonymGroup = 20, .term = "drum", .translation = "барабан"_cp},
      {.id = 21, .language = 7, .synonymGroup = 20, .term = "drum brake", .definition = "Старый тип."_cp},
      {.id = 30, .synonymGroup = 30, .term = "pad", .transcription = "пэд"_cp},
  }));
  return store;
}

inline CDictionary EmptyStore() {
  return Loaded(FileBytes({}));
}

inline CHtmlLines Lines(std::initializer_list<std::string_view> texts) {
  return {texts.begin(), texts.end()};
}
