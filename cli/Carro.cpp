#include "cli/Carro.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "dictionary/DataFileWriter.h"
#include "dictionary/Dictionary.h"
#include "dictionary/Messages.h"
#include "dictionary/TsvSource.h"
#include "dictionary/Variant.h"
#include "formats/Formats.h"
#include "formats/Merge.h"
#include "pages/DisplayLimits.h"
#include "pages/PageBuilders.h"
#include "pages/PageRenderer.h"
#include "pages/Panes.h"
#include "search/SearchQuery.h"
#include "suggest/Suggester.h"
#include "text/Cp1251.h"
#include "text/Integer.h"

namespace {

// The window's defaults and limits for the two display counts.

constexpr int kDone = 0;
constexpr int kUsageError = 1;
constexpr int kDataFileUnusable = 2;

// Wrong arguments; the message is UTF-8.
class CUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Exits with `code` after printing a Windows-1251 message.
class CFailure : public std::runtime_error {
 public:
  CFailure(int exitCode, const std::string& message) : std::runtime_error(message), code(exitCode) {}
  int code;
};

struct CArguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;
  std::set<std::string, std::less<>> flags;

  bool Flag(std::string_view name) const { return flags.contains(name); }
  std::optional<std::string> Value(std::string_view name) const {
    const auto it = values.find(name);
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  // The remaining words as one text, the way a search box would hold them.
  std::string JoinedText() const {
    std::string text;
    for (const std::string& word : positional) text += (text.empty() ? "" : " ") + word;
    return text;
  }
};

// Lines in Windows-1251, written as UTF-8 with LF, or with --raw exactly as the program
// writes files: Windows-1251 with CR LF.
// UTF-8 text with its control characters written as "\x1b": a data file or an argument must not retitle
// or clear the user's terminal. Tabs and line ends are the output's own.
std::string ShownOnTerminal(std::string_view utf8) {
  std::string shown;
  shown.reserve(utf8.size());
  const auto escape = [&shown](unsigned code) {
    constexpr char kHex[] = "0123456789abcdef";
    ((shown += "\\x") += kHex[code >> 4]) += kHex[code & 0xF];
  };
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    const auto next = at + 1 < utf8.size() ? static_cast<unsigned char>(utf8[at + 1]) : 0;
    if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F) {
      escape(byte);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // C1 controls, U+0080 to U+009F
      escape(next);
      ++at;
    } else {
      shown += utf8[at];
    }
  }
  return shown;
}

class COutput {
 public:
  COutput(std::ostream& to, bool cp1251Bytes) : stream(to), raw(cp1251Bytes) {}
  void Line(std::string_view text) {
    if (raw)
      stream << text << "\r\n";
    else
      stream << ShownOnTerminal(cp1251::ToUtf8(text)) << '\n';
  }

 private:
  std::ostream& stream;
  bool raw;
};

struct CRun {
  const CArguments& args;
  COutput& out;
  std::ostream& rawOut;  // for output that is already in its final form
  std::ostream& err;
  const CCarroContext& context;
};

std::string ArgumentCp1251(std::string_view utf8, bool lossy = false) {
  std::string text;
  const std::size_t bad = cp1251::FromUtf8(utf8, text, {.transliterate = true, .lossy = lossy});
  if (bad != std::string_view::npos && !lossy)
    throw CUsageError("«" + std::string(utf8) + "»: символ " +
                      std::to_string(cp1251::CharactersBefore(utf8, bad) + 1) +
                      " отсутствует в кодировке Windows-1251");
  return text;
}

void ReportLoadDamage(const CDictionary& dictionary, std::ostream& err) {
  if (dictionary.LoadDamaged()) err << "carro: " << cp1251::ToUtf8(kLoadErrorMessage) << '\n';
}

CDictionary LoadDictionary(const std::string& fileName, std::ostream& err) {
  CDictionary dictionary;
  try {
    dictionary.Load(fileName);
  } catch (const CDictionaryError& error) {
    throw CFailure(kDataFileUnusable, error.what());
  }
  if (dictionary.loadState() == CDictionary::LoadState::NeedsNewerProgram)
    throw CFailure(kDataFileUnusable, OutdatedDataMessage(dictionary.Info().requiredVersion));
  ReportLoadDamage(dictionary, err);
  return dictionary;
}

// The data file named by --dict, or the one the window would find.
std::string DataFilePath(const CRun& run) {
  if (const auto named = run.args.Value("--dict")) return *named;
  const auto folders = DataFileFolders(run.context.executableFolder, run.context.environment);
  if (const auto found = FindDataFileForUser(folders, run.context.environment)) return found->string();
  std::vector<std::string> places;
  places.reserve(folders.size());
  for (const auto& folder : folders) places.push_back(folder.string());
  throw CFailure(kDataFileUnusable, NotFoundMessage(places));
}

int RunInfo(CRun& run) {
  const std::string path = DataFilePath(run);
  const CDictionary dictionary = LoadDictionary(path, run.err);
  const CDictionaryInfo& info = dictionary.Info();
  run.out.Line(std::string("Файл словаря: "_cp) + cp1251::FromUtf8Lossy(path));
  run.out.Line(std::string("Сведения 1: "_cp) + info.infoText1);
  run.out.Line(std::string("Сведения 2: "_cp) + info.infoText2);
  run.out.Line(std::string("Версия данных словаря: "_cp) + info.dataVersion);
  run.out.Line(std::string("Требуемая версия программы: "_cp) + info.requiredVersion);
  run.out.Line(std::string("Количество статей: "_cp) + std::to_string(dictionary.ArticleCount()));
  run.out.Line(std::string("Терминов на английском языке: "_cp) +
               std::to_string(dictionary.CountTermsByLanguage(LanguageCode(CLanguage::English))));
  run.out.Line(std::string("Терминов на немецком языке: "_cp) +
               std::to_string(dictionary.CountTermsByLanguage(LanguageCode(CLanguage::German))));
  return kDone;
}

// Through a temporary file, so that a failed build leaves the old data file as it was.
void WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush()) {
      out.close();
      std::error_code error;
      std::filesystem::rename(temporary, path, error);
      if (!error) return;
    }
  }
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  throw CFailure(kUsageError, std::string("Не удалось записать файл "_cp) + cp1251::FromUtf8Lossy(path));
}

CFormat SourceFormat(const CRun& run, const std::string& path) {
  if (const auto named = run.args.Value("--format")) {
    const auto format = FormatNamed(*named);
    if (!format) throw CUsageError("--format: неизвестный формат «" + *named + "»");
    return *format;
  }
  const auto format = FormatOfFile(path);
  if (!format)
    throw CUsageError("формат файла «" + path + "» не ясен по его окончанию (" +
                      std::string(FormatEndings()) + "): задайте --format");
  return *format;
}

CImportOptions ImportOptions(const CRun& run) {
  CImportOptions options;
  options.how.lossy = run.args.Flag("--lossy");
  options.ourTsvTransliterates = run.args.Flag("--transliterate");
  options.keepGoing = run.args.Flag("--keep-going");
  options.columns = run.args.Value("--columns").value_or("");
  if (const auto language = run.args.Value("--language")) {
    options.language = LanguageFromName(*language);
    if (ParseInt32(*language) == LanguageCode(CLanguage::English) ||
        ParseInt32(*language) == LanguageCode(CLanguage::German))
      options.language = *ParseInt32(*language);
    if (options.language == 0)
      throw CUsageError("--language: «" + *language + "» — ни английский, ни немецкий");
  }
  return options;
}

// "FILE: статей N, пропущено M (причина: k; …)".
std::string SourceSummary(const std::string& path, const CGlossary& source) {
  int32_t skipped = 0;
  std::string reasons;
  for (const auto& [reason, count] : source.skipped) {
    skipped += count;
    reasons += (reasons.empty() ? "" : "; ") + reason + ": " + std::to_string(count);
  }
  std::string line = cp1251::FromUtf8Lossy(path) + std::string(": статей "_cp) +
                     std::to_string(source.articles.size()) + std::string(", пропущено "_cp) +
                     std::to_string(skipped);
  if (!reasons.empty()) line += " (" + reasons + ")";
  if (source.transcriptionsLeftOut > 0)
    line += std::string(", без транскрипции, которой нет в Windows-1251: "_cp) +
            std::to_string(source.transcriptionsLeftOut);
  return line;
}

int RunBuild(CRun& run) {
  const std::vector<std::string> sources(run.args.positional.begin(), run.args.positional.end() - 1);
  const std::string& outputPath = run.args.positional.back();
  const CImportOptions options = ImportOptions(run);
  CMerge merge;
  for (const std::string& path : sources) {
    const CFormat format = SourceFormat(run, path);
    CGlossary source;
    try {
      source = ReadSource(path, format, options);
    } catch (const CFormatError& error) {
      throw CFailure(kUsageError, error.what());
    } catch (const CDictionaryError& error) {
      throw CFailure(kUsageError, error.what());
    }
    merge.Add(source);
    run.out.Line(SourceSummary(path, source));
  }
  const std::pair<const char*, std::string*> overrides[] = {
      {"--info1", &merge.Info().infoText1},
      {"--info2", &merge.Info().infoText2},
      {"--data-version", &merge.Info().dataVersion},
      {"--required-version", &merge.Info().requiredVersion}};
  for (const auto& [option, text] : overrides)
    if (const auto value = run.args.Value(option)) *text = ArgumentCp1251(*value, options.how.lossy);
  WriteWholeFile(outputPath, merge.Bytes());
  run.out.Line(std::string("Записано статей: "_cp) + std::to_string(merge.ArticleCount()) + " -> " +
               cp1251::FromUtf8Lossy(outputPath));
  return kDone;
}

int RunExport(CRun& run) {
  const CDictionary dictionary = LoadDictionary(run.args.positional[0], run.err);
  const auto named = run.args.Value("--format");
  const auto format = named ? FormatNamed(*named) : std::nullopt;
  if (!format || !CanExport(*format))
    throw CUsageError("--format: нужен один из stardict, dictd, dsl, tbx, csv");
  const std::vector<CExportFile> files = Export(dictionary, *format, run.args.positional[1]);
  for (const CExportFile& file : files) WriteWholeFile(file.path, file.bytes);
  for (const CExportFile& file : files)
    run.out.Line(std::string("Записан файл "_cp) + cp1251::FromUtf8Lossy(file.path));
  run.out.Line(std::string("Статей: "_cp) + std::to_string(dictionary.ArticleCount()));
  return kDone;
}

int RunDump(CRun& run) {
  const CDictionary dictionary = LoadDictionary(run.args.positional[0], run.err);
  run.rawOut << DumpTsvSource(dictionary);
  return kDone;
}

int32_t Number(std::string_view text, std::string_view what) {
  const auto value = ParseInt32(text);
  if (!value) throw CUsageError(std::string(what) + ": «" + std::string(text) + "» не целое число");
  return *value;
}

// A display count, kept within the limits the settings dialog keeps it in.
int32_t DisplayCount(const CRun& run, std::string_view option, const CDisplayLimits& limits) {
  const auto value = run.args.Value(option);
  return value ? limits.Clamped(Number(*value, option)) : limits.standard;
}

void PrintPage(CRun& run, const CDictionary& dictionary, const CResultPage& page) {
  const bool forExport = run.args.Flag("--export");
  const CRenderOptions options{
      .maxResultDisplayCount = DisplayCount(run, "--max-results", kResultCountLimits),
      .highlight = !run.args.Flag("--no-highlight")};
  CHtmlLines lines;
  RenderPage(dictionary, page, lines, forExport, options);
  for (const std::string& line : lines) run.out.Line(line);
}

void PrintLines(CRun& run, const CHtmlLines& lines) {
  for (const std::string& line : lines) run.out.Line(line);
}

int RunVariants(CRun& run) {
  const CDictionary dictionary = LoadDictionary(DataFilePath(run), run.err);
  const std::string typed = ArgumentCp1251(run.args.JoinedText());
  const bool pane = run.args.Flag("--pane");
  const bool page = run.args.Flag("--page");
  const int32_t maxVariants = DisplayCount(run, "--max-variants", kVariantCountLimits);
  const bool yoAsYe = run.args.Flag("--fold-yo");
  std::vector<CVariant> variants;
  dictionary.LookupVariants(pane || page ? VariantsInput(typed) : typed, variants, yoAsYe);
  if (pane) {
    const std::string input = VariantsInput(typed);
    std::vector<std::string> suggestions;
    if (!run.args.Flag("--no-suggestions") && PaneWantsSuggestions(input, variants.size()))
      suggestions = CSuggester(dictionary).For(input, yoAsYe);
    PrintLines(run,
               VariantsPaneLines(variants, static_cast<int32_t>(input.size()), maxVariants, suggestions));
  } else if (page) {
    if (const auto entry = run.args.Value("--entry")) {
      const int32_t n = Number(*entry, "--entry");
      if (n < 0 || n >= static_cast<int32_t>(variants.size()))
        throw CUsageError("--entry " + *entry + ": вариантов " + std::to_string(variants.size()));
      PrintPage(run, dictionary, VariantPage(variants[n], typed, yoAsYe));
    } else {
      PrintPage(run, dictionary, AllVariantsPage(variants, typed, maxVariants, yoAsYe));
    }
  } else {
    // Here the option only cuts the list; the pane's limits do not apply.
    const auto limit = run.args.Value("--max-variants");
    const std::size_t shown =
        limit ? std::min<std::size_t>(variants.size(), std::max(0, Number(*limit, "--max-variants")))
              : variants.size();
    for (std::size_t i = 0; i < shown; ++i) {
      const CVariant& v = variants[i];
      run.out.Line(std::to_string(v.score) + "\t" + std::to_string(v.matchPos) +
                   (v.matchedField == CHeadword::Term ? "\tterm\t" : "\ttranslation\t") +
                   std::to_string(v.articleId) + "\t" + v.text);
    }
  }
  return kDone;
}

int RunSearch(CRun& run) {
  const CDictionary dictionary = LoadDictionary(DataFilePath(run), run.err);
  const CSearchQuery query(ArgumentCp1251(run.args.JoinedText()), run.args.Flag("--full-words"),
                           run.args.Flag("--all-words"), run.args.Flag("--fold-yo"));
  if (run.args.Flag("--page")) {
    CResultPage page = dictionary.Search(query);
    if (!run.args.Flag("--no-suggestions")) {
      CSuggester suggester(dictionary);
      OfferSuggestions(page, suggester);
    }
    PrintPage(run, dictionary, page);
    return kDone;
  }
  int32_t strictCount = 0;
  const auto hits = dictionary.RankArticles(query, strictCount);
  run.out.Line("found: " + std::to_string(hits.size()) + ", strict: " + std::to_string(strictCount));
  for (const auto& hit : hits) {
    const CArticle& article = dictionary.ArticleAt(hit.position);
    run.out.Line(std::to_string(hit.score) + "\t" + std::to_string(article.id) + "\t" + article.Title());
  }
  return kDone;
}

int RunSuggest(CRun& run) {
  const CDictionary dictionary = LoadDictionary(DataFilePath(run), run.err);
  CSuggester suggester(dictionary);
  for (const std::string& suggestion :
       suggester.For(ArgumentCp1251(run.args.JoinedText()), run.args.Flag("--fold-yo")))
    run.out.Line(suggestion);
  return kDone;
}

int RunArticle(CRun& run) {
  const int32_t id = Number(run.args.positional[0], "ID");
  const CDictionary dictionary = LoadDictionary(DataFilePath(run), run.err);
  const auto page = ArticlePage(dictionary, id);
  if (!page) throw CFailure(kDataFileUnusable, std::string("В словаре нет ни одной статьи."_cp));
  PrintPage(run, dictionary, *page);
  return kDone;
}

int RunAbout(CRun& run) {
  const CDictionary dictionary = LoadDictionary(DataFilePath(run), run.err);
  PrintPage(run, dictionary, AboutPage());
  return kDone;
}

int RunQuery(CRun& run) {
  const CSearchQuery query(ArgumentCp1251(run.args.JoinedText()), run.args.Flag("--full-words"),
                           run.args.Flag("--all-words"));
  for (int32_t i = 0; i < query.WordCount(); ++i)
    run.out.Line(query.Word(i) + (query.WholeWord(i) ? "\twhole" : "\tprefix") +
                 (query.Required(i) ? "\trequired" : "\toptional"));
  return kDone;
}

struct CCommand {
  std::string_view name;
  std::string_view help;  // UTF-8; its first line is the usage
  std::vector<std::string_view> flags;
  std::vector<std::string_view> valueOptions;
  std::size_t minimumWords;
  std::size_t maximumWords;
  int (*run)(CRun&);
};

constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

const std::vector<CCommand>& Commands() {
  static const std::vector<CCommand> commands = {
      {"info",
       "carro info [--dict FILE] [--raw]\n"
       "  Сведения о файле словаря: версии, число статей, число терминов по языкам.\n",
       {"--raw"},
       {"--dict"},
       0,
       0,
       RunInfo},
      {"build",
       "carro build SOURCE... OUT.dct [--format F] [--columns C] [--language L] [--keep-going] "
       "[--data-version V] [--required-version V] [--info1 T] [--info2 T] [--transliterate] [--lossy]\n"
       "  Собирает файл словаря из одного или нескольких источников: наш TSV, файл словаря .dct, глоссарий\n"
       "  CSV или TSV, DSL (.dsl, .dsl.dz), TBX, StarDict (.ifo), dictd (.index). Формат по окончанию файла\n"
       "  или --format tsv|dct|csv|dsl|tbx|stardict|dictd. Первый источник сохраняет свои id, статьи\n"
       "  следующих получают новые id после наибольшего.\n"
       "  --columns en,ru,definition…: столбцы CSV без строки заголовков; --language en|de: язык терминов,\n"
       "  если источник его не называет; --keep-going: пропускать негодные статьи, считая их.\n"
       "  Параметры --info1 и др. заменяют строки «# …:» первого источника. Символы, которых нет в\n"
       "  Windows-1251, в глоссариях пишутся как принято в данных (ä — ae, é — e), в нашем TSV — только\n"
       "  с --transliterate; --lossy заменяет оставшиеся такие символы на «?» вместо ошибки.\n",
       {"--transliterate", "--lossy", "--keep-going", "--raw"},
       {"--data-version", "--required-version", "--info1", "--info2", "--format", "--columns", "--language"},
       2,
       kAnyNumber,
       RunBuild},
      {"export",
       "carro export FILE.dct --format stardict|dictd|dsl|tbx|csv OUT\n"
       "  Записывает словарь в другом формате (UTF-8, где формат позволяет): OUT — файл .ifo (рядом .idx,\n"
       "  .dict, .syn), .index (рядом .dict), .dsl, .tbx или .csv.\n",
       {"--raw"},
       {"--format"},
       2,
       2,
       RunExport},
      {"dump",
       "carro dump FILE.dct\n"
       "  Выводит исходный текст TSV файла словаря; carro build собирает из него тот же файл.\n",
       {},
       {},
       1,
       1,
       RunDump},
      {"query",
       "carro query [--full-words] [--all-words] [--raw] TEXT\n"
       "  Разбирает TEXT как строку поиска: по строке на слово — СЛОВО, whole|prefix, required|optional.\n"
       "  --full-words: слова без «*» ищутся целиком; --all-words: слова без «+» обязательны.\n",
       {"--full-words", "--all-words", "--raw"},
       {},
       1,
       kAnyNumber,
       RunQuery},
      {"variants",
       "carro variants [--max-variants N] [--pane | --page [--entry N]] [--export] [--no-highlight] "
       "[--max-results N] [--fold-yo] [--no-suggestions] TEXT\n"
       "  Варианты для набранного текста, как в левой панели: балл, позиция, term|translation, id, текст.\n"
       "  --pane: HTML панели вариантов; --page: страница всех вариантов (или варианта N) для строки "
       "поиска;\n"
       "  --fold-yo: буквы е и ё не различаются; --no-suggestions: панель без предложений.\n",
       {"--pane", "--page", "--export", "--no-highlight", "--fold-yo", "--no-suggestions", "--raw"},
       {"--dict", "--max-variants", "--max-results", "--entry"},
       1,
       kAnyNumber,
       RunVariants},
      {"search",
       "carro search [--full-words] [--all-words] [--fold-yo] [--page [--export] [--no-highlight] "
       "[--max-results N] [--no-suggestions]] TEXT\n"
       "  Ищет статьи: «found: N, strict: M», затем балл, id и заголовок каждой найденной статьи;\n"
       "  --page: HTML страницы результата (с подсветкой, если не задано --export или --no-highlight;\n"
       "  если ничего не найдено, с предложениями, если не задано --no-suggestions);\n"
       "  --fold-yo: буквы е и ё не различаются.\n",
       {"--full-words", "--all-words", "--fold-yo", "--page", "--export", "--no-highlight",
        "--no-suggestions", "--raw"},
       {"--dict", "--max-results"},
       0,
       kAnyNumber,
       RunSearch},
      {"suggest",
       "carro suggest [--fold-yo] TEXT\n"
       "  Что предложить, если поиск TEXT ничего не нашёл: по строке на предложение, лучшее первым.\n"
       "  --fold-yo: буквы е и ё не различаются.\n",
       {"--fold-yo", "--raw"},
       {"--dict"},
       1,
       kAnyNumber,
       RunSuggest},
      {"article",
       "carro article [--export] ID\n"
       "  HTML страницы статьи с этим id (неизвестный id ведёт к первой статье словаря).\n",
       {"--export", "--raw"},
       {"--dict"},
       1,
       1,
       RunArticle},
      {"about",
       "carro about [--export]\n"
       "  HTML страницы «О программе».\n",
       {"--export", "--raw"},
       {"--dict"},
       0,
       0,
       RunAbout},
  };
  return commands;
}

std::string GeneralHelp() {
  std::string help =
      "carro — словарь ТЕЛМО Карролексия в командной строке.\n"
      "Файл словаря carro.dct ищется в текущей папке, рядом с программой, затем в папках данных\n"
      "(--dict FILE задаёт его явно). Вывод в UTF-8; --raw выводит байты Windows-1251 с CR LF.\n"
      "Коды выхода: 0 готово, 1 ошибка в параметрах, 2 файл словаря нельзя использовать.\n\n"
      "Команды:\n";
  for (const CCommand& command : Commands())
    help += "  " + std::string(command.help.substr(0, command.help.find('\n'))) + "\n";
  help += "\ncarro КОМАНДА --help — подробнее о команде.\n";
  return help;
}

CArguments ParseArguments(const CCommand& command, const std::vector<std::string>& words) {
  CArguments args;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || !word.starts_with("--")) {
      args.positional.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (std::ranges::find(command.flags, word) != command.flags.end()) {
      args.flags.insert(word);
    } else if (std::ranges::find(command.valueOptions, word) != command.valueOptions.end()) {
      if (i + 1 == words.size()) throw CUsageError(word + ": нужно значение");
      args.values[word] = words[++i];
    } else {
      throw CUsageError(word + ": неизвестный параметр команды " + std::string(command.name));
    }
  }
  if (args.positional.size() < command.minimumWords || args.positional.size() > command.maximumWords)
    throw CUsageError("неверное число аргументов");
  return args;
}

}  // namespace

int RunCarro(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
             const CCarroContext& context) {
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    (words.empty() ? err : out) << GeneralHelp();
    return words.empty() ? kUsageError : kDone;
  }
  const auto& commands = Commands();
  const auto command = std::ranges::find(commands, words[0], &CCommand::name);
  if (command == commands.end()) {
    err << "carro: неизвестная команда «" << ShownOnTerminal(words[0]) << "»\n\n" << GeneralHelp();
    return kUsageError;
  }
  if (std::ranges::find(words, "--help") != words.end()) {
    out << "usage: " << command->help;
    return kDone;
  }
  try {
    const CArguments args = ParseArguments(*command, words);
    COutput output(out, args.Flag("--raw"));
    CRun run{args, output, out, err, context};
    return command->run(run);
  } catch (const CUsageError& error) {
    err << "carro " << command->name << ": " << ShownOnTerminal(error.what())
        << "\nusage: " << command->help.substr(0, command->help.find('\n')) << '\n';
    return kUsageError;
  } catch (const CFailure& failure) {
    err << "carro: " << ShownOnTerminal(cp1251::ToUtf8(failure.what())) << '\n';
    return failure.code;
  } catch (const std::bad_alloc&) {
    err << "carro: " << cp1251::ToUtf8(kOutOfMemoryMessage) << '\n';
    return kDataFileUnusable;
  }
}
