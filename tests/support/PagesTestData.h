#pragma once
// A small store for the page tests: the brake article first, one synonym group stored out of
// id order, a group whose head has no definition, and a group of one.

#include <initializer_list>

#include "pages/PageRenderer.h"
#include "tests/support/TestData.h"

inline const CDictionary& SynonymStore() {
  static const CDictionary store = Loaded(FileBytes({
      Brake(),
      {.id = 11, .term = "disk brake", .language = 2, .synonymGroup = 10},
      {.id = 10,
       .term = "disc brake",
       .translation = "дисковый тормоз"_cp,
       .language = 2,
       .definition = "Тормоз с <b>диском</b>."_cp,
       .synonymGroup = 10,
       .seeAlso = "колодка"_cp},
      {.id = 12,
       .translation = "дисковый механизм"_cp,
       .language = 5,
       .definition = "Узел."_cp,
       .synonymGroup = 10,
       .seeAlso = "суппорт"_cp},
      {.id = 20, .term = "drum", .translation = "барабан"_cp, .language = 2, .synonymGroup = 20},
      {.id = 21, .term = "drum brake", .language = 7, .definition = "Старый тип."_cp, .synonymGroup = 20},
      {.id = 30, .term = "pad", .synonymGroup = 30, .transcription = "пэд"_cp},
  }));
  return store;
}

inline CDictionary EmptyStore() {
  return Loaded(FileBytes({}));
}

inline CHtmlLines Lines(std::initializer_list<std::string_view> texts) {
  return {texts.begin(), texts.end()};
}
