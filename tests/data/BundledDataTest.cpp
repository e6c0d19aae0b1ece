// The bundled dictionary's source, read as its editors and its users rely on it: every article
// complete, no term twice, groups whole, cross-references that lead somewhere, nothing but text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/DataFileWriter.h"
#include "dictionary/Dictionary.h"
#include "dictionary/TsvSource.h"

namespace {

constexpr int32_t kEnglish = 2;
constexpr int32_t kGerman = 5;

std::string ReadSource() {
  std::ifstream in(CARRO_BUNDLED_TSV, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::vector<std::string> Items(std::string_view list) {
  std::vector<std::string> items;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    if (std::string item = Trimmed(list.substr(start, end - start)); !item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}

// The names of the tags in `text` other than <i>, <b> and <br>.
std::vector<std::string> ForeignTags(std::string_view text) {
  std::vector<std::string> foreign;
  for (std::size_t open = text.find('<'); open != std::string_view::npos; open = text.find('<', open + 1)) {
    std::size_t at = open + 1;
    if (at < text.size() && text[at] == '/') ++at;
    std::size_t end = at;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    const std::string name(text.substr(at, end - at));
    const bool closes =
        end < text.size() && (text[end] == '>' || (name == "br" && text.substr(end, 2) == "/>"));
    if (!closes || (name != "i" && name != "b" && name != "br"))
      foreign.push_back(std::string(text.substr(open, 12)));
  }
  return foreign;
}

TEST(BundledDataTest, EveryArticleIsCompleteAndEveryReferenceLeadsSomewhere) {
  const std::string source = ReadSource();
  ASSERT_FALSE(source.empty()) << CARRO_BUNDLED_TSV;
  // It builds as it stands: every character exists in Windows-1251.
  CParsedSource parsed;
  try {
    parsed = ParseTsvSource(source, "carro.tsv");
  } catch (const CSourceError& error) {
    FAIL() << error.what();
  }
  CDictionary dictionary;
  const std::string bytes = DataFileBytes(parsed.info, parsed.records);
  dictionary.LoadBytes(std::vector<char>(bytes.begin(), bytes.end()), "carro.dct");
  const std::vector<CArticle>& articles = dictionary.Articles();
  ASSERT_EQ(static_cast<int32_t>(articles.size()), parsed.articleCount);

  // One article a line after the header, so that a problem names its line.
  const std::size_t header = source.find(TsvHeader() + "\n");
  ASSERT_NE(header, std::string::npos);
  int firstLine = 2;
  for (std::size_t at = 0; at < header; at = source.find('\n', at) + 1) ++firstLine;
  ASSERT_EQ(std::count(source.begin() + static_cast<std::ptrdiff_t>(header), source.end(), '\n') - 1,
            static_cast<std::ptrdiff_t>(articles.size()));

  std::vector<std::string> problems;
  const auto report = [&](std::size_t index, const std::string& problem) {
    problems.push_back("carro.tsv:" + std::to_string(firstLine + static_cast<int>(index)) + ": " + problem);
  };
  std::set<std::string> headwords;
  std::map<int32_t, std::size_t> lineOfId;
  std::map<int32_t, std::vector<int32_t>> groups;
  for (std::size_t i = 0; i < articles.size(); ++i) {
    const CArticle& article = articles[i];
    headwords.insert(std::string(article.term));
    for (const std::string& part : Items(article.translation)) headwords.insert(part);
    lineOfId.emplace(article.id, i);
    if (article.synonymGroup > 0) groups[article.synonymGroup].push_back(article.id);
  }

  std::map<std::pair<std::string, int32_t>, std::size_t> terms;
  int32_t english = 0;
  int32_t german = 0;
  for (std::size_t i = 0; i < articles.size(); ++i) {
    const CArticle& article = articles[i];
    if (article.term.empty() || article.translation.empty()) report(i, "no term or no translation");
    if (lineOfId.at(article.id) != i || article.id <= 0)
      report(i, "id " + std::to_string(article.id) + " twice or not above 0");
    if (article.language != kEnglish && article.language != kGerman) report(i, "language neither 2 nor 5");
    english += article.language == kEnglish;
    german += article.language == kGerman;
    std::string folded(article.term);
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (const auto [at, isNew] = terms.emplace(std::pair(folded, article.language), i); !isNew)
      report(i, "the term \"" + std::string(article.term) + "\" again (first at line " +
                    std::to_string(firstLine + static_cast<int>(at->second)) + ")");
    if (article.language == kEnglish && article.transcription.empty())
      report(i, "English article without transcription");
    for (const std::string_view text :
         {article.term, article.translation, article.definition, article.seeAlso, article.transcription})
      for (const std::string& tag : ForeignTags(text)) report(i, "markup other than <i>, <b>, <br>: " + tag);
    if (!article.seeAlso.empty()) {
      const std::vector<std::string> named = Items(article.seeAlso);
      if (std::none_of(named.begin(), named.end(),
                       [&](const std::string& item) { return headwords.count(item); }))
        report(i, "the see-also text names no headword: " + std::string(article.seeAlso));
    }
  }
  for (const auto& [group, members] : groups) {
    const std::size_t line = lineOfId.at(members.front());
    const auto head = lineOfId.find(group);
    if (head == lineOfId.end() || articles[head->second].synonymGroup != group)
      report(line, "group " + std::to_string(group) + " has no head that belongs to it");
    if (members.size() < 2 || members.size() > 8)
      report(line, "group " + std::to_string(group) + " has " + std::to_string(members.size()) + " members");
  }
  std::ostringstream all;
  for (const std::string& problem : problems) all << problem << "\n";
  EXPECT_TRUE(problems.empty()) << all.str();
  EXPECT_GE(articles.size(), 4000u);
  EXPECT_GE(english, 2500);
  EXPECT_GE(german, 1500);
}

}  // namespace
