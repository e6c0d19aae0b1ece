#include "prefs/Prefs.h"

#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QSettings>
#include <algorithm>
#include <array>
#include <variant>

#include "dictionary/ProgramInfo.h"

using namespace Qt::StringLiterals;

#ifndef Q_OS_WIN
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#endif

namespace {

const QString kOrganization = QLatin1StringView(kOrganizationName);
const QString kProduct = QLatin1StringView(kApplicationName);

// The stored values in the order they are written, each once; Autorun lives in the run-at-logon entry.
struct CStoredValue {
  const char* name;
  std::variant<bool CPrefs::*, int32_t CPrefs::*> field;
};
constexpr std::array<CStoredValue, 10> kStoredValues = {{
    {"SearchExact", &CPrefs::SearchExact},
    {"SearchFullWords", &CPrefs::SearchFullWords},
    {"MinToTray", &CPrefs::MinToTray},
    {"RunMinimized", &CPrefs::RunMinimized},
    {"MaxVariantDisplayCount", &CPrefs::MaxVariantDisplayCount},
    {"MaxResultDisplayCount", &CPrefs::MaxResultDisplayCount},
    {"VariantsFontSize", &CPrefs::VariantsFontSize},
    {"ResultsFontSize", &CPrefs::ResultsFontSize},
    {"FoldYo", &CPrefs::FoldYo},
    {"KeepPages", &CPrefs::KeepPages},
}};

// The run-at-logon entry: whether it exists, and creating or removing it. False when that failed.
#ifdef Q_OS_WIN
const QString kRunKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool RunAtLogonEntryExists() {
  return QSettings(kRunKey, QSettings::NativeFormat).contains(kProduct);
}

bool WriteRunAtLogonEntry(bool present) {
  QSettings run(kRunKey, QSettings::NativeFormat);
  if (present)
    run.setValue(kProduct, QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
  else
    run.remove(kProduct);
  run.sync();
  return run.status() == QSettings::NoError;
}
#else
// More than any autostart entry holds; the rest of a larger file is not read.
constexpr qint64 kMaxDesktopEntrySize = qint64{64} * 1024;

QString RunAtLogonEntryPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         u"/autostart/carrolex.desktop"_s;
}

// An entry that the desktop has switched off is no entry: the next save removes it.
bool RunAtLogonEntryExists() {
  QFile entry(RunAtLogonEntryPath());
  if (!entry.open(QIODevice::ReadOnly)) return false;
  return !DesktopEntrySwitchedOff(entry.read(kMaxDesktopEntrySize));
}

bool WriteRunAtLogonEntry(bool present) {
  const QString path = RunAtLogonEntryPath();
  if (!present) return !QFile::exists(path) || QFile::remove(path);
  QDir().mkpath(QFileInfo(path).path());
  // The user's own keys stay; only what makes it start this program is written.
  QByteArray existing;
  if (QFile old(path);
      QFileInfo(path).isFile() && old.size() <= kMaxDesktopEntrySize && old.open(QIODevice::ReadOnly))
    existing = old.readAll();
  QSaveFile entry(path);
  if (!entry.open(QIODevice::WriteOnly)) return false;
  entry.write(DesktopEntryStarting(existing, DesktopExecValue(QCoreApplication::applicationFilePath())));
  return entry.commit();
}
#endif

}  // namespace

QByteArray DesktopEntryStarting(const QByteArray& existing, const QString& exec) {
  const QByteArray type = "Type=Application";
  const QByteArray name = "Name=" + kProduct.toUtf8();
  const QByteArray execLine = "Exec=" + exec.toUtf8();
  QList<QByteArray> lines = existing.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  const auto group = std::find_if(lines.begin(), lines.end(),
                                  [](const QByteArray& line) { return line.trimmed() == "[Desktop Entry]"; });
  if (group == lines.end()) {
    const QList<QByteArray> own = {"[Desktop Entry]", type, name, execLine};
    if (!lines.isEmpty()) lines.prepend("");
    lines = own + lines;
    return lines.join('\n') + '\n';
  }
  const qsizetype start = group - lines.begin() + 1;
  qsizetype end = start;
  while (end < lines.size() && !lines[end].trimmed().startsWith('[')) ++end;
  const auto keyOf = [](const QByteArray& line) { return line.left(line.indexOf('=')).trimmed(); };
  bool hasExec = false;
  bool hasType = false;
  bool hasName = false;
  for (qsizetype i = start; i < end; ++i) {
    const QByteArray key = keyOf(lines[i]);
    if (key == "Exec") {
      lines[i] = execLine;
      hasExec = true;
    }
    hasType = hasType || key == "Type";
    hasName = hasName || key == "Name";
  }
  qsizetype at = start;
  if (!hasType) lines.insert(at++, type);
  if (!hasName) lines.insert(at++, name);
  if (!hasExec) lines.insert(at, execLine);
  return lines.join('\n') + '\n';
}

bool DesktopEntrySwitchedOff(const QByteArray& entry) {
  bool inMainGroup = false;
  for (const QByteArray& rawLine : entry.split('\n')) {
    const QByteArray line = rawLine.trimmed();
    if (line.startsWith('[')) {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (!inMainGroup || equals < 0) continue;
    const QByteArray key = line.left(equals).trimmed();
    const QByteArray value = line.mid(equals + 1).trimmed();
    if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
      return true;
  }
  return false;
}

QString DesktopExecValue(const QString& program) {
  QString quoted = u"\""_s;
  for (const QChar c : program) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c;
  }
  quoted += u'"';
  // The value is read as a string (its own backslash escapes) before the quoting is undone.
  quoted.replace(u'\\', u"\\\\"_s).replace(u'\n', u"\\n"_s).replace(u'\t', u"\\t"_s).replace(u'\r', u"\\r"_s);
  return quoted.replace(u'%', u"%%"_s);
}

QStringList CPrefs::LoadFromRegistry() {
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kProduct);
  QStringList wrongType;
  const auto read = [&](const char* name, int32_t fallback) {
    const QVariant value = settings.value(name);
    if (!value.isValid()) return fallback;
    // Through QString: QVariant's own string conversion lets 99999999999 wrap into range.
    bool isInteger = false;
    const int32_t number = value.toString().toInt(&isInteger);
    if (isInteger) return number;
    wrongType << QLatin1StringView(name);
    return fallback;
  };
  const CPrefs defaults;
  for (const CStoredValue& stored : kStoredValues) {
    std::visit([&](auto CPrefs::*field) { this->*field = read(stored.name, defaults.*field); }, stored.field);
  }
  Autorun = RunAtLogonEntryExists();
  CheckLimits();
  return wrongType;
}

CPrefsSaved CPrefs::SaveToRegistry() const {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kProduct);
  for (const CStoredValue& stored : kStoredValues) {
    // Flags as 1 or 0, like every value an integer.
    std::visit(
        [&](auto CPrefs::*field) { settings.setValue(stored.name, static_cast<int32_t>(this->*field)); },
        stored.field);
  }
  settings.sync();
  // A damaged file still reads as far as it can and reports FormatError: no failed write.
  return {.valuesWritten = settings.status() != QSettings::AccessError,
          .runAtLogonWritten = WriteRunAtLogonEntry(Autorun)};
}

void CPrefs::CheckLimits() {
  MaxVariantDisplayCount = kVariantCountLimits.Clamped(MaxVariantDisplayCount);
  MaxResultDisplayCount = kResultCountLimits.Clamped(MaxResultDisplayCount);
}
