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
#include "search/Cp1251.h"
#include "search/SearchQuery.h"

namespace {

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
  CFailure(int code, const std::string& message) : std::runtime_error(message), code(code) {}
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
class COutput {
 public:
  COutput(std::ostream& stream, bool raw) : stream(stream), raw(raw) {}
  void Line(std::string_view text) {
    if (raw)
      stream << text << "\r\n";
    else
      stream << cp1251::ToUtf8(text) << '\n';
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
  const std::size_t bad = cp1251::FromUtf8(utf8, text, lossy);
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
  if (const auto found = FindDataFile(folders)) return found->string();
  std::vector<std::string> places;
  for (const auto& folder : folders) places.push_back(folder.string());
  throw CFailure(kDataFileUnusable, NotFoundMessage(places));
}

int RunInfo(CRun& run) {
  const std::string path = DataFilePath(run);
  const CDictionary dictionary = LoadDictionary(path, run.err);
  const CDictionaryInfo& info = dictionary.Info();
  run.out.Line(std::string("Файл словаря: "_cp) + ArgumentCp1251(path, true));
  run.out.Line(std::string("Сведения 1: "_cp) + info.infoText1);
  run.out.Line(std::string("Сведения 2: "_cp) + info.infoText2);
  run.out.Line(std::string("Версия данных словаря: "_cp) + info.dataVersion);
  run.out.Line(std::string("Требуемая версия программы: "_cp) + info.requiredVersion);
  run.out.Line(std::string("Количество статей: "_cp) + std::to_string(dictionary.ArticleCount()));
  run.out.Line(std::string("Терминов на английском языке: "_cp) +
               std::to_string(dictionary.CountTermsByLanguage(2)));
  run.out.Line(std::string("Терминов на немецком языке: "_cp) +
               std::to_string(dictionary.CountTermsByLanguage(5)));
  return kDone;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  if (!(in && content << in.rdbuf()) && in.bad())
    throw CFailure(kUsageError, std::string("Не удалось прочитать файл "_cp) + ArgumentCp1251(path, true));
  if (!in)
    throw CFailure(kUsageError, std::string("Не удалось открыть файл "_cp) + ArgumentCp1251(path, true));
  return content.str();
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
  throw CFailure(kUsageError, std::string("Не удалось записать файл "_cp) + ArgumentCp1251(path, true));
}

int RunBuild(CRun& run) {
  const std::string& sourcePath = run.args.positional[0];
  const std::string& outputPath = run.args.positional[1];
  const bool lossy = run.args.Flag("--lossy");
  CParsedSource source;
  try {
    source = ParseTsvSource(ReadWholeFile(sourcePath), sourcePath, lossy);
  } catch (const CSourceError& error) {
    throw CFailure(kUsageError, error.what());
  }
  const std::pair<const char*, std::string*> overrides[] = {
      {"--info1", &source.info.infoText1},
      {"--info2", &source.info.infoText2},
      {"--data-version", &source.info.dataVersion},
      {"--required-version", &source.info.requiredVersion}};
  for (const auto& [option, text] : overrides)
    if (const auto value = run.args.Value(option)) *text = ArgumentCp1251(*value, lossy);
  WriteWholeFile(outputPath, DataFileBytes(source.info, source.records));
  run.out.Line(std::string("Записано статей: "_cp) + std::to_string(source.articleCount) + " -> " +
               ArgumentCp1251(outputPath, true));
  return kDone;
}

int RunDump(CRun& run) {
  const CDictionary dictionary = LoadDictionary(run.args.positional[0], run.err);
  run.rawOut << DumpTsvSource(dictionary);
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
       "carro build SOURCE.tsv OUT.dct [--data-version V] [--required-version V] [--info1 T] [--info2 T] "
       "[--lossy]\n"
       "  Собирает файл словаря из исходного текста TSV (UTF-8). Параметры заменяют строки «# …:» "
       "источника;\n"
       "  --lossy заменяет символы, которых нет в Windows-1251, на «?» вместо ошибки.\n",
       {"--lossy", "--raw"},
       {"--data-version", "--required-version", "--info1", "--info2"},
       2,
       2,
       RunBuild},
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
    err << "carro: неизвестная команда «" << words[0] << "»\n\n" << GeneralHelp();
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
    err << "carro " << command->name << ": " << error.what()
        << "\nusage: " << command->help.substr(0, command->help.find('\n')) << '\n';
    return kUsageError;
  } catch (const CFailure& failure) {
    err << "carro: " << cp1251::ToUtf8(failure.what()) << '\n';
    return failure.code;
  }
}
