#include "formats/Tbx.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::size_t kMaxTermsPerEntry = 1000;
// Internal entities and a definition shared by many terms multiply text: a file may give this many
// bytes of article text per byte it holds, and the allowance on top, and no more.
constexpr std::size_t kTextPerSourceByte = 8;
constexpr std::size_t kTextAllowance = std::size_t{32} << 20;
constexpr int kMaxEntityDepth = 16;
constexpr int kMaxGroupDepth = 8;  // descripGrp, termNoteGrp and termGrp inside each other
// Our options: no network, line numbers past 65535. Never entity substitution, DTD loading,
// default attributes from a DTD, XInclude or lifted limits.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_NOCDATA;

const std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

std::string_view View(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

bool Is(const xmlNode* node, std::initializer_list<std::string_view> names) {
  if (node->type != XML_ELEMENT_NODE) return false;
  const std::string_view name = View(node->name);  // the local name, whatever the prefix
  return std::find(names.begin(), names.end(), name) != names.end();
}

// An attribute's own text (entity references in it are not expanded: our attributes are short names).
std::string Attribute(const xmlNode* node, std::string_view name, bool inXmlNamespace = false) {
  for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
    const bool xmlNamespace = attribute->ns && View(attribute->ns->href) == kXmlNamespace;
    if (View(attribute->name) != name || xmlNamespace != inXmlNamespace) continue;
    std::string value;
    for (const xmlNode* part = attribute->children; part && value.size() < 256; part = part->next)
      if (part->type == XML_TEXT_NODE) value += View(part->content);
    return value;
  }
  return {};
}

long LineOf(const xmlNode* node) {
  for (; node; node = node->parent)
    if (const long line = xmlGetLineNo(node); line > 0) return line;
  return 0;
}

xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
  return nullptr;
}

// The process never loads an external XML resource: the refusing loader stands behind the options.
void PrepareLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(RefuseExternalEntity);
  });
}

struct CParseError {
  xmlTextReaderPtr reader = nullptr;
  bool seen = false;
  long line = 0;
  int code = 0;
  std::string message;  // UTF-8 from libxml2
};

void KeepFirstFatalError(void* data, xmlErrorPtr error) {
  auto& first = *static_cast<CParseError*>(data);
  if (first.seen || !error || error->level != XML_ERR_FATAL) return;
  first.seen = true;
  first.code = error->code;
  // An entity's text is parsed on its own, its lines counted from 1: the place is the document's.
  first.line = first.reader ? xmlTextReaderGetParserLineNumber(first.reader) : 0;
  if (first.line <= 0) first.line = error->line;
  first.message = error->message ? error->message : "";
  while (!first.message.empty() && (first.message.back() == '\n' || first.message.back() == ' '))
    first.message.pop_back();
  if (first.message.size() > 200) first.message.resize(200);
}

std::string ReasonOf(const CParseError& error) {
  const std::string message = cp1251::FromUtf8Lossy(error.message);
  if (error.code == XML_ERR_ENTITY_LOOP)
    return std::string("сущности XML раскрываются в слишком длинный текст ("_cp) + message + ")";
  return std::string("неверный XML: "_cp) + message;
}

// A text of an entry that Windows-1251 cannot hold: the entry is bad, not the file.
class CBadText : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Whitespace at either end that holds a line feed is the file's layout, not the text.
std::string_view TrimLayout(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return text.find('\n') == std::string_view::npos ? text : "";
  if (text.substr(0, begin).find('\n') != std::string_view::npos) text.remove_prefix(begin);
  const std::size_t end = text.find_last_not_of(" \t\r\n") + 1;
  if (text.substr(end).find('\n') != std::string_view::npos) text.remove_suffix(text.size() - end);
  return text;
}

// The same for page markup, where line feeds have become <br>.
std::string_view TrimLayoutBreaks(std::string_view html) {
  const auto skip = [](std::string_view text, bool fromEnd) {
    std::size_t taken = 0;
    bool lineBreak = false;
    std::string_view rest = text;
    while (!rest.empty()) {
      const char c = fromEnd ? rest.back() : rest.front();
      if (c == ' ' || c == '\t') {
        fromEnd ? rest.remove_suffix(1) : rest.remove_prefix(1);
      } else if (fromEnd ? rest.ends_with("<br>") : rest.starts_with("<br>")) {
        fromEnd ? rest.remove_suffix(4) : rest.remove_prefix(4);
        lineBreak = true;
      } else {
        break;
      }
      if (lineBreak) taken = text.size() - rest.size();
    }
    return taken;
  };
  const std::size_t front = skip(html, false);
  html.remove_prefix(front);
  html.remove_suffix(skip(html, true));
  return html;
}

void AppendJoined(std::string& out, std::string_view part, std::string_view separator) {
  if (part.empty()) return;
  if (!out.empty()) out += separator;
  out += part;
}

// The texts one level of an entry gives (the entry, a langSet, a tig), in page markup or plain.
struct CLevelText {
  std::string definition;
  std::string notes;       // lines joined with <br>
  std::string references;  // joined with ", "
  std::string pronunciation;
};

struct CForeignTerm {
  const xmlNode* term;
  const xmlNode* tig;
  std::size_t langSet;  // index in the entry's foreign langSets
  int32_t language;
};

class CTbxReader {
 public:
  CTbxReader(std::string_view fileName, const CImportOptions& importOptions, CGlossary& into,
             std::size_t sourceBytes)
      : file(fileName),
        options(importOptions),
        glossary(into),
        textLeft(sourceBytes * kTextPerSourceByte + kTextAllowance) {}

  void ReadEntry(const xmlNode* entry);

 private:
  std::string Text(std::string_view utf8, const xmlNode* at) const;
  void Spend(std::size_t bytes, const xmlNode* at);
  void CollectPlain(const xmlNode* first, std::string& utf8, const xmlNode* at, int depth);
  void CollectMarkup(const xmlNode* first, std::string& html, const xmlNode* at, int depth);
  std::string Plain(const xmlNode* element);
  std::string Markup(const xmlNode* element);
  CLevelText LevelText(const xmlNode* level);
  void ScanLevel(const xmlNode* parent, CLevelText& text, bool& definitionSeen, int depth);

  std::string_view file;
  const CImportOptions& options;
  CGlossary& glossary;
  std::size_t textLeft;
};

std::string CTbxReader::Text(std::string_view utf8, const xmlNode* at) const {
  try {
    return SourceText(utf8, LinePlace(file, LineOf(at)), options);
  } catch (const CFormatError& error) {
    throw CBadText(error.what());
  }
}

void CTbxReader::Spend(std::size_t bytes, const xmlNode* at) {
  if (bytes > textLeft)
    throw CFormatError(LinePlace(file, LineOf(at)) +
                       std::string(": файл даёт текста во много раз больше своего размера (сущности XML "
                                   "или общие тексты многих терминов)"_cp));
  textLeft -= bytes;
}

// Text nodes under `first` and its siblings; markup codes of other programs (bpt, ept, ph) are left
// out, internal entities expanded. `at` names the place: inside an entity, the reference.
void CTbxReader::CollectPlain(const xmlNode* first, std::string& utf8, const xmlNode* at, int depth) {
  for (const xmlNode* node = first; node; node = node->next) {
    const xmlNode* place = depth == 0 ? node : at;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      const std::string_view text = View(node->content);
      Spend(text.size(), place);
      utf8 += text;
    } else if (node->type == XML_ENTITY_REF_NODE) {
      const xmlEntity* entity = xmlGetDocEntity(node->doc, node->name);
      if (entity && entity->etype == XML_INTERNAL_GENERAL_ENTITY && depth < kMaxEntityDepth)
        CollectPlain(entity->children, utf8, place, depth + 1);
    } else if (node->type == XML_ELEMENT_NODE && !Is(node, {"bpt", "ept", "ph"})) {
      CollectPlain(node->children, utf8, place, depth);
    }
  }
}

void CTbxReader::CollectMarkup(const xmlNode* first, std::string& html, const xmlNode* at, int depth) {
  for (const xmlNode* node = first; node; node = node->next) {
    const xmlNode* place = depth == 0 ? node : at;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      const std::string_view text = View(node->content);
      Spend(text.size(), place);
      html += MarkupOfText(Text(text, place));
    } else if (node->type == XML_ENTITY_REF_NODE) {
      const xmlEntity* entity = xmlGetDocEntity(node->doc, node->name);
      if (entity && entity->etype == XML_INTERNAL_GENERAL_ENTITY && depth < kMaxEntityDepth)
        CollectMarkup(entity->children, html, place, depth + 1);
    } else if (node->type == XML_ELEMENT_NODE && !Is(node, {"bpt", "ept", "ph"})) {
      const std::string type = Is(node, {"hi"}) ? Attribute(node, "type") : std::string();
      const std::string_view tag = type == "bold" ? "b" : type == "italics" || type == "italic" ? "i" : "";
      if (!tag.empty()) html.append("<").append(tag).append(">");
      CollectMarkup(node->children, html, place, depth);
      if (!tag.empty()) html.append("</").append(tag).append(">");
    }
  }
}

std::string CTbxReader::Plain(const xmlNode* element) {
  std::string utf8;
  CollectPlain(element->children, utf8, element, 0);
  return Text(TrimLayout(utf8), element);
}

std::string CTbxReader::Markup(const xmlNode* element) {
  std::string html;
  CollectMarkup(element->children, html, element, 0);
  return std::string(TrimLayoutBreaks(html));
}

void CTbxReader::ScanLevel(const xmlNode* parent, CLevelText& text, bool& definitionSeen, int depth) {
  for (const xmlNode* child = parent->children; child; child = child->next) {
    if (Is(child, {"descrip", "termNote", "ref", "xref"})) {
      const std::string type = Attribute(child, "type");
      if (Is(child, {"descrip"}) && type == "definition") {
        if (!definitionSeen) text.definition = Markup(child);
        definitionSeen = true;
      } else if (Is(child, {"termNote"}) && type == "pronunciation") {
        if (text.pronunciation.empty()) text.pronunciation = Plain(child);
      } else if (type == "crossReference" ||
                 (Is(child, {"xref"}) && (type.empty() || type == "externalCrossReference"))) {
        AppendJoined(text.references, Plain(child), ", ");
      }
    } else if (Is(child, {"note"})) {
      AppendJoined(text.notes, Markup(child), "<br>");
    } else if (Is(child, {"descripGrp", "termNoteGrp", "termGrp"}) && depth < kMaxGroupDepth) {
      ScanLevel(child, text, definitionSeen, depth + 1);
    }
  }
}

CLevelText CTbxReader::LevelText(const xmlNode* level) {
  CLevelText text;
  bool definitionSeen = false;
  if (level) ScanLevel(level, text, definitionSeen, 0);
  return text;
}

// The term of a tig, an ntig (inside its termGrp) or a termSec.
const xmlNode* TermOf(const xmlNode* tig) {
  for (const xmlNode* child = tig->children; child; child = child->next) {
    if (Is(child, {"term"})) return child;
    if (Is(child, {"termGrp"}))
      for (const xmlNode* inner = child->children; inner; inner = inner->next)
        if (Is(inner, {"term"})) return inner;
  }
  return nullptr;
}

void CTbxReader::ReadEntry(const xmlNode* entry) {
  const xmlNode* russianTerm = nullptr;
  const xmlNode* russianTig = nullptr;
  const xmlNode* russianLangSet = nullptr;
  std::vector<const xmlNode*> langSets;
  std::vector<CForeignTerm> foreign;
  std::size_t beyondBound = 0;
  const xmlNode* firstBeyond = nullptr;
  for (const xmlNode* langSet = entry->children; langSet; langSet = langSet->next) {
    if (!Is(langSet, {"langSet", "langSec"})) continue;
    const std::string name = Attribute(langSet, "lang", true);
    const bool russian = IsRussianName(name);
    const int32_t language = russian || name.empty() ? 0
                             : options.language != 0 ? options.language
                                                     : LanguageFromName(name);
    if (!russian && language == 0) continue;
    bool listed = false;
    for (const xmlNode* tig = langSet->children; tig; tig = tig->next) {
      if (!Is(tig, {"tig", "ntig", "termSec"})) continue;
      const xmlNode* term = TermOf(tig);
      if (!term) continue;
      if (russian) {
        if (!russianTerm) {
          russianTerm = term;
          russianTig = tig;
          russianLangSet = langSet;
        }
      } else if (foreign.size() == kMaxTermsPerEntry) {
        if (beyondBound++ == 0) firstBeyond = term;
      } else {
        if (!listed) langSets.push_back(langSet);
        listed = true;
        foreign.push_back({.term = term, .tig = tig, .langSet = langSets.size() - 1, .language = language});
      }
    }
  }
  const std::string place = LinePlace(file, LineOf(entry));
  if (foreign.empty()) {
    // Another language pair's entry: nothing for this dictionary, but not a fault.
    ++glossary.skipped[std::string("нет термина на английском или немецком языке"_cp)];
    return;
  }
  if (!russianTerm) {
    SkipOrFail(glossary, options, place, "нет русского термина"_cp);
    return;
  }
  for (std::size_t n = 0; n < beyondBound; ++n)
    SkipOrFail(glossary, options, LinePlace(file, LineOf(firstBeyond)),
               "больше 1000 терминов одного понятия"_cp);

  const std::string translation = Plain(russianTerm);
  const CLevelText entryText = LevelText(entry);
  const CLevelText russianSide = LevelText(russianLangSet);
  const CLevelText russianTigText = LevelText(russianTig);
  const std::string& sharedDefinition = !russianSide.definition.empty()      ? russianSide.definition
                                        : !russianTigText.definition.empty() ? russianTigText.definition
                                                                             : entryText.definition;
  std::string sharedNotes;
  std::string sharedReferences;
  for (const CLevelText* level : {&entryText, &russianSide, &russianTigText}) {
    AppendJoined(sharedNotes, level->notes, "<br>");
    AppendJoined(sharedReferences, level->references, ", ");
  }

  std::vector<CGlossaryArticle> articles;
  CLevelText langSetText;
  std::size_t langSetOfText = langSets.size();
  for (const CForeignTerm& term : foreign) {
    if (term.langSet != langSetOfText) {
      langSetText = LevelText(langSets[term.langSet]);
      langSetOfText = term.langSet;
    }
    const CLevelText tigText = LevelText(term.tig);
    CGlossaryArticle article;
    article.term = Plain(term.term);
    if (article.term.empty()) {
      SkipOrFail(glossary, options, LinePlace(file, LineOf(term.term)), "пустой термин"_cp);
      continue;
    }
    article.translation = translation;
    article.language = term.language;
    article.definition = !sharedDefinition.empty()     ? sharedDefinition
                         : !tigText.definition.empty() ? tigText.definition
                                                       : langSetText.definition;
    for (const std::string* notes :
         std::initializer_list<const std::string*>{&sharedNotes, &langSetText.notes, &tigText.notes})
      AppendJoined(article.definition, *notes, "<br>");
    article.seeAlso = sharedReferences;
    AppendJoined(article.seeAlso, langSetText.references, ", ");
    AppendJoined(article.seeAlso, tigText.references, ", ");
    article.transcription = tigText.pronunciation;
    Spend(article.term.size() + article.translation.size() + article.definition.size() +
              article.seeAlso.size() + article.transcription.size(),
          term.term);
    articles.push_back(std::move(article));
  }

  // Ids follow on; the terms of one language in one entry are synonyms, headed by the first.
  const auto firstId = static_cast<int32_t>(glossary.articles.size() + 1);
  std::map<int32_t, std::pair<int32_t, int32_t>> groups;  // language -> (first id, members)
  for (std::size_t n = 0; n < articles.size(); ++n) {
    articles[n].id = firstId + static_cast<int32_t>(n);
    auto& group = groups.try_emplace(articles[n].language, articles[n].id, 0).first->second;
    ++group.second;
  }
  for (CGlossaryArticle& article : articles) {
    const auto& group = groups.at(article.language);
    article.synonymGroup = group.second > 1 ? group.first : 0;
    glossary.articles.push_back(std::move(article));
  }
}

using CReaderHandle = std::unique_ptr<xmlTextReader, decltype(&xmlFreeTextReader)>;

// --- export ---

// UTF-8 as XML text. `exact`: line feeds and carriage returns as references, so that they come back;
// otherwise (page markup, where they are only spaces) as spaces. XML 1.0 has no other control
// characters: they are dropped.
void AppendXml(std::string& out, std::string_view utf8, bool exact) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    std::size_t plain = pos;
    while (plain < utf8.size() && static_cast<unsigned char>(utf8[plain]) >= 0x20 && utf8[plain] != '&' &&
           utf8[plain] != '<' && utf8[plain] != '>' && utf8[plain] != '"')
      ++plain;
    out.append(utf8.substr(pos, plain - pos));
    if (plain == utf8.size()) break;
    switch (utf8[plain]) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += '\t';
        break;
      case '\n':
        out += exact ? "&#10;" : " ";
        break;
      case '\r':
        out += exact ? "&#13;" : " ";
        break;
      default:
        break;
    }
    pos = plain + 1;
  }
}

void AppendPlainElement(std::string& out, std::string_view open, std::string_view cp1251Text,
                        std::string_view close) {
  out += open;
  AppendXml(out, cp1251::ToUtf8(cp1251Text), true);
  out += close;
}

// Bold and italic as <hi>; a line break as a line feed in the text, which the reader takes as <br>.
void AppendDefinition(std::string& out, std::string_view html, std::string_view indent) {
  const std::vector<CMarkupRun> runs = MarkupRuns(html);
  if (runs.empty()) return;
  out += indent;
  out += "<descrip type=\"definition\">";
  for (const CMarkupRun& run : runs) {
    if (run.lineBreak) {
      out += '\n';
      continue;
    }
    if (run.bold) out += "<hi type=\"bold\">";
    if (run.italic) out += "<hi type=\"italics\">";
    AppendXml(out, run.text, false);
    if (run.italic) out += "</hi>";
    if (run.bold) out += "</hi>";
  }
  out += "</descrip>\n";
}

std::string_view LanguageName(int32_t language) {
  return language == LanguageCode(CLanguage::German) ? "de" : "en";
}

void WriteEntry(std::string& out, const std::vector<CArticle>& articles,
                const std::vector<std::size_t>& members, int number) {
  const CArticle& head = articles[members.front()];
  const auto same = [&](std::string_view CArticle::*field) {
    return std::all_of(members.begin(), members.end(),
                       [&](std::size_t m) { return articles[m].*field == head.*field; });
  };
  const bool sharedDefinition = same(&CArticle::definition);
  const bool sharedSeeAlso = same(&CArticle::seeAlso);
  std::vector<std::string_view> languages;
  for (const std::size_t m : members)
    if (std::find(languages.begin(), languages.end(), LanguageName(articles[m].language)) == languages.end())
      languages.push_back(LanguageName(articles[m].language));

  out += "<termEntry id=\"c";
  out += std::to_string(number);
  out += "\">\n";
  for (const std::string_view language : languages) {
    out += "  <langSet xml:lang=\"";
    out += language;
    out += "\">\n";
    for (const std::size_t m : members) {
      const CArticle& article = articles[m];
      if (LanguageName(article.language) != language) continue;
      AppendPlainElement(out, "    <tig><term>", article.term, "</term>");
      if (!article.transcription.empty())
        AppendPlainElement(out, "<termNote type=\"pronunciation\">", article.transcription, "</termNote>");
      const bool own = (!sharedDefinition && !MarkupRuns(article.definition).empty()) ||
                       (!sharedSeeAlso && !article.seeAlso.empty());
      if (own) out += '\n';
      if (!sharedDefinition) AppendDefinition(out, article.definition, "      ");
      if (!sharedSeeAlso && !article.seeAlso.empty())
        AppendPlainElement(out, "      <ref type=\"crossReference\">", article.seeAlso, "</ref>\n");
      out += own ? "    </tig>\n" : "</tig>\n";
    }
    out += "  </langSet>\n";
  }
  out += "  <langSet xml:lang=\"ru\">\n";
  if (sharedDefinition) AppendDefinition(out, head.definition, "    ");
  if (sharedSeeAlso && !head.seeAlso.empty())
    AppendPlainElement(out, "    <ref type=\"crossReference\">", head.seeAlso, "</ref>\n");
  AppendPlainElement(out, "    <tig><term>", head.translation, "</term></tig>\n");
  out += "  </langSet>\n</termEntry>\n";
}

}  // namespace

CGlossary ReadTbx(std::string_view bytes, std::string_view file, const CImportOptions& options) {
  PrepareLibxml();
  const std::size_t first = bytes.find_first_not_of(" \t\r\n", bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0);
  if (first == std::string_view::npos) throw CFormatError(LinePlace(file, 1) + std::string(": файл пуст"_cp));
  // Plain text gets a plainer word than libxml2's "Document is empty"; UTF-16 is left to libxml2.
  const bool utf16 = bytes.size() >= 2 && (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
                                           bytes[0] == '\0' || bytes[1] == '\0');
  if (!utf16 && bytes[first] != '<')
    throw CFormatError(LinePlace(file, 1 + std::count(bytes.begin(), bytes.begin() + first, '\n')) +
                       std::string(": это не XML: текст начинается не со знака <"_cp));
  if (bytes.size() > static_cast<std::size_t>(INT_MAX))
    throw CFormatError(OffsetPlace(file, bytes.size()) + std::string(": файл слишком велик для XML"_cp));

  CGlossary glossary;
  CParseError error;
  const CReaderHandle reader(
      xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kParseOptions),
      &xmlFreeTextReader);
  if (!reader) throw CFormatError(LinePlace(file, 1) + std::string(": не удалось начать разбор XML"_cp));
  error.reader = reader.get();
  xmlTextReaderSetStructuredErrorHandler(reader.get(), KeepFirstFatalError, &error);

  CTbxReader tbx(file, options, glossary, bytes.size());
  bool rootSeen = false;
  int64_t entries = 0;
  int read = xmlTextReaderRead(reader.get());
  while (read == 1 && !error.seen) {
    const xmlNode* node = xmlTextReaderCurrentNode(reader.get());
    if (node && node->type == XML_ELEMENT_NODE) {
      if (!rootSeen) {
        if (!Is(node, {"martif", "tbx"}))
          throw CFormatError(LinePlace(file, LineOf(node)) + std::string(": корневой элемент <"_cp) +
                             cp1251::FromUtf8Lossy(View(node->name)) +
                             std::string(">, а в файле TBX это <martif> или <tbx>"_cp));
        rootSeen = true;
      } else if (Is(node, {"termEntry", "conceptEntry"})) {
        const xmlNode* entry = xmlTextReaderExpand(reader.get());
        if (!entry || error.seen) break;
        ++entries;
        try {
          tbx.ReadEntry(entry);
        } catch (const CBadText& bad) {
          if (!options.keepGoing) throw CFormatError(bad.what());
          ++glossary.skipped[std::string("текст, которого нет в Windows-1251"_cp)];
        }
        read = xmlTextReaderNext(reader.get());
        continue;
      }
    }
    read = xmlTextReaderRead(reader.get());
  }
  const long lastLine = xmlTextReaderGetParserLineNumber(reader.get());
  if (error.seen) throw CFormatError(LinePlace(file, error.line) + ": " + ReasonOf(error));
  if (read != 0)
    throw CFormatError(LinePlace(file, lastLine) + std::string(": неверный XML: разбор прерван"_cp));
  if (entries == 0)
    throw CFormatError(LinePlace(file, lastLine) +
                       std::string(": нет ни одного понятия (<termEntry> или <conceptEntry>)"_cp));
  if (glossary.articles.empty() && !options.keepGoing)
    throw CFormatError(LinePlace(file, lastLine) +
                       std::string(": ни в одном понятии нет термина на английском или немецком языке"_cp));
  return glossary;
}

std::vector<CExportFile> ExportTbx(const CDictionary& dictionary, const std::string& outPath) {
  const std::vector<CArticle>& articles = dictionary.Articles();
  // The members of a synonym group that share a translation go into one entry.
  std::map<std::pair<int32_t, std::string_view>, std::vector<std::size_t>> groups;
  std::size_t estimate = 1024;
  for (std::size_t n = 0; n < articles.size(); ++n) {
    const CArticle& article = articles[n];
    if (article.synonymGroup > 0) groups[{article.synonymGroup, article.translation}].push_back(n);
    estimate += 2 * (article.term.size() + article.translation.size() + article.definition.size() +
                     article.seeAlso.size() + article.transcription.size()) +
                300;
  }

  std::string out;
  out.reserve(estimate);
  out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE martif SYSTEM \"TBXBasiccoreStructV02.dtd\">\n"
      "<martif type=\"TBX-Basic\" xml:lang=\"ru\">\n<martifHeader>\n";
  AppendPlainElement(out, "  <fileDesc><sourceDesc><p>", dictionary.Info().infoText1,
                     "</p></sourceDesc></fileDesc>\n");
  out +=
      "  <encodingDesc><p type=\"XCSURI\">TBXBasicXCSV02.xcs</p></encodingDesc>\n"
      "</martifHeader>\n<text>\n<body>\n";
  std::vector<bool> written(articles.size());
  std::vector<std::size_t> single(1);
  int number = 0;
  for (std::size_t n = 0; n < articles.size(); ++n) {
    if (written[n]) continue;
    const std::vector<std::size_t>* members = &single;
    if (articles[n].synonymGroup > 0)
      members = &groups.find({articles[n].synonymGroup, articles[n].translation})->second;
    else
      single.front() = n;
    for (const std::size_t m : *members) written[m] = true;
    WriteEntry(out, articles, *members, ++number);
  }
  out += "</body>\n</text>\n</martif>\n";
  return {{.path = outPath, .bytes = std::move(out)}};
}
