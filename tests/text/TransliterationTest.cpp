#include "text/Transliteration.h"

#include <gtest/gtest.h>

#include "text/Cp1251.h"

namespace {

TEST(Transliteration, GermanLettersAsTheDataWritesThemOtherMarksDropped) {
  const std::pair<const char*, const char*> cases[] = {
      {"Zündkerze", "Zuendkerze"},
      {"Stoßdämpfer", "Stossdaempfer"},
      {"Ölfilter", "Oelfilter"},
      {"KÜHLER", "KUeHLER"},
      {"ÄÖÜẞ", "AeOeUeSS"},
      {"café", "cafe"},
      {"Citroën Škoda", "Citroen Skoda"},
      {"Æøåł", "AEoal"},
      {"ñç", "nc"},
      {"тормоз ёж", "тормоз ёж"},
      {"日本 ©", "?? ©"},
      {"a\xC3", "a?"},
  };
  for (const auto& [typed, written] : cases)
    EXPECT_EQ(cp1251::ToUtf8(cp1251::FromTypedText(typed)), written) << typed;
}

TEST(Transliteration, OnlyWhereAskedFor) {
  std::string out;
  EXPECT_EQ(cp1251::FromUtf8("Zündkerze", out), 1u) << "an exact source names the letter";
  EXPECT_EQ(cp1251::FromUtf8("Zündkerze 日", out, {.transliterate = true}), 11u)
      << "what is left still counts";
  EXPECT_EQ(cp1251::FromUtf8Lossy("Zündkerze"), "Z?ndkerze");
  EXPECT_EQ(Transliterated(U'ü'), "ue");
  EXPECT_EQ(Transliterated(U'Я'), "");
  EXPECT_EQ(Transliterated(U'×'), "") << "no letter";
}

}  // namespace
