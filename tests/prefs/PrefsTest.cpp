// The preferences in the settings file and the autostart entry, all inside the test home that the
// test main sets up.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <ostream>
#include <string>

#include "prefs/Prefs.h"
#include "tests/support/ReadOnlyFolder.h"

static void PrintTo(const CPrefs& prefs, std::ostream* out) {
  *out << "{variants " << prefs.MaxVariantDisplayCount << ", results " << prefs.MaxResultDisplayCount
       << ", fullWords " << prefs.SearchFullWords << ", exact " << prefs.SearchExact << ", tray "
       << prefs.MinToTray << ", autorun " << prefs.Autorun << ", minimized " << prefs.RunMinimized
       << ", fonts " << prefs.VariantsFontSize << "/" << prefs.ResultsFontSize << ", е/ё " << prefs.FoldYo
       << "}";
}

namespace {

QString AutostartFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart";
}

QString AutostartEntry() {
  return AutostartFolder() + "/carrolex.desktop";
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class PrefsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(AutostartEntry().startsWith(QDir::homePath() + "/"));
    // QSettings caches every file it has read in the process: each test gets a file of its own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QFile::remove(AutostartEntry());
  }

  void TearDown() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QFile::remove(AutostartEntry());
  }

  QString SettingsFolder() const { return folder.path() + "/TelmoTX"; }
  std::string SettingsFile() const { return ReadFile(SettingsFolder() + "/Telmo Carro Lexiconia.conf"); }

  // Stored as another program or a hand edit would leave them, replacing whatever was there.
  static void Store(const QVariantMap& values) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "TelmoTX", "Telmo Carro Lexiconia");
    settings.clear();
    for (auto value = values.begin(); value != values.end(); ++value) settings.setValue(value.key(), *value);
  }

  QTemporaryDir folder{QDir::home().filePath("settings-XXXXXX")};
};

TEST_F(PrefsTest, StoredValuesLoadIntoTheFields) {
  struct Case {
    const char* what;
    QVariantMap stored;
    CPrefs loaded;
    QStringList wrongType;
  };
  const Case cases[] = {
      {"nothing stored", {}, {}, {}},
      {"counts below their limits",
       {{"MaxVariantDisplayCount", 5}, {"MaxResultDisplayCount", 0}},
       {.MaxVariantDisplayCount = 10, .MaxResultDisplayCount = 10},
       {}},
      {"counts above their limits",
       {{"MaxVariantDisplayCount", 201}, {"MaxResultDisplayCount", 9999}},
       {.MaxVariantDisplayCount = 200, .MaxResultDisplayCount = 500},
       {}},
      {"font sizes as stored, whatever they are",
       {{"VariantsFontSize", 0}, {"ResultsFontSize", 300}},
       {.VariantsFontSize = 0, .ResultsFontSize = 300},
       {}},
      {"any non-zero flag is true",
       {{"SearchExact", 2}, {"SearchFullWords", 1}, {"MinToTray", -1}, {"RunMinimized", 0}},
       {.SearchFullWords = true, .SearchExact = true, .MinToTray = true},
       {}},
      {"the ninth value, е and ё as one letter", {{"FoldYo", 1}}, {.FoldYo = true}, {}},
      {"a ninth value that is no integer", {{"FoldYo", "yes"}}, {}, {"FoldYo"}},
      {"the tenth value, bookmarks and history kept", {{"KeepPages", 1}}, {.KeepPages = true}, {}},
      {"values that are no integers take their defaults, the others still load",
       {{"SearchExact", "abc"},
        {"SearchFullWords", 1},
        {"MinToTray", "true"},
        {"MaxVariantDisplayCount", 50},
        {"MaxResultDisplayCount", "12abc"},
        {"VariantsFontSize", 12},
        {"ResultsFontSize", "99999999999"}},
       {.MaxVariantDisplayCount = 50, .SearchFullWords = true, .VariantsFontSize = 12},
       {"SearchExact", "MinToTray", "MaxResultDisplayCount", "ResultsFontSize"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.stored);
    CPrefs prefs{
        .MaxVariantDisplayCount = 1, .MaxResultDisplayCount = 1, .SearchExact = true, .RunMinimized = true};
    EXPECT_EQ(prefs.LoadFromRegistry().join(' ').toStdString(), c.wrongType.join(' ').toStdString());
    EXPECT_EQ(prefs, c.loaded);
  }
}

TEST_F(PrefsTest, EveryValueIsWrittenAsAnIntegerAndAFlagOfTwoComesBackAsOne) {
  Store({{"SearchExact", 2}, {"RunMinimized", 1}, {"VariantsFontSize", 0}});
  CPrefs prefs;
  prefs.LoadFromRegistry();
  prefs.MaxVariantDisplayCount = 10;
  prefs.MaxResultDisplayCount = 500;
  prefs.ResultsFontSize = 300;
  ASSERT_TRUE(prefs.SaveToRegistry());
  EXPECT_EQ(SettingsFile(),
            "[General]\n"
            "FoldYo=0\n"
            "KeepPages=0\n"
            "MaxResultDisplayCount=500\n"
            "MaxVariantDisplayCount=10\n"
            "MinToTray=0\n"
            "ResultsFontSize=300\n"
            "RunMinimized=1\n"
            "SearchExact=1\n"
            "SearchFullWords=0\n"
            "VariantsFontSize=0\n");
}

TEST_F(PrefsTest, WhatIsSavedLoadsAgain) {
  const CPrefs saved{.MaxVariantDisplayCount = 42,
                     .MaxResultDisplayCount = 420,
                     .SearchFullWords = true,
                     .SearchExact = true,
                     .MinToTray = true,
                     .Autorun = true,
                     .RunMinimized = true,
                     .VariantsFontSize = 14,
                     .ResultsFontSize = 1};
  ASSERT_TRUE(saved.SaveToRegistry());
  CPrefs loaded;
  EXPECT_TRUE(loaded.LoadFromRegistry().isEmpty());
  EXPECT_EQ(loaded, saved);
}

TEST_F(PrefsTest, ADamagedSettingsFileStillLoadsItsReadableValues) {
  WriteFile(SettingsFolder() + "/Telmo Carro Lexiconia.conf",
            "[General]\nSearchExact=1\nthis line is no value\nMaxResultDisplayCount=50\n[unfinished\n");
  CPrefs prefs;
  EXPECT_TRUE(prefs.LoadFromRegistry().isEmpty());
  EXPECT_EQ(prefs, (CPrefs{.MaxResultDisplayCount = 50, .SearchExact = true}));
}

TEST_F(PrefsTest, ASaveOverADamagedFileSucceedsAndKeepsSettingsItDoesNotKnow) {
  WriteFile(SettingsFolder() + "/Telmo Carro Lexiconia.conf",
            "[General]\nLaterSetting=7\nthis line is no value\n[unfinished\n");
  EXPECT_TRUE((CPrefs{.MaxResultDisplayCount = 50}).SaveToRegistry());
  const std::string file = SettingsFile();
  EXPECT_NE(file.find("\nLaterSetting=7\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\nMaxResultDisplayCount=50\n"), std::string::npos) << file;
  EXPECT_EQ(file.find("no value"), std::string::npos) << file;
}

TEST_F(PrefsTest, AutorunWritesTheAutostartEntryAndClearingItRemovesIt) {
  CPrefs prefs{.Autorun = true};
  ASSERT_TRUE(prefs.SaveToRegistry());
  EXPECT_EQ(ReadFile(AutostartEntry()),
            "[Desktop Entry]\nType=Application\nName=Telmo Carro Lexiconia\nExec=" +
                DesktopExecValue(QCoreApplication::applicationFilePath()).toStdString() + "\n");
  CPrefs loaded;
  loaded.LoadFromRegistry();
  EXPECT_TRUE(loaded.Autorun);

  prefs.Autorun = false;
  EXPECT_TRUE(prefs.SaveToRegistry());
  EXPECT_FALSE(QFile::exists(AutostartEntry()));
  loaded.LoadFromRegistry();
  EXPECT_FALSE(loaded.Autorun);
  EXPECT_TRUE(prefs.SaveToRegistry()) << "removing an absent entry is no error";
}

TEST_F(PrefsTest, AnEntryMadeByAnotherToolCountsAndIsReplacedByOurs) {
  WriteFile(AutostartEntry(),
            "[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/other --hidden\n");
  CPrefs prefs;
  prefs.LoadFromRegistry();
  EXPECT_TRUE(prefs.Autorun);
  ASSERT_TRUE(prefs.SaveToRegistry());
  const std::string entry = ReadFile(AutostartEntry());
  EXPECT_NE(
      entry.find("\nExec=" + DesktopExecValue(QCoreApplication::applicationFilePath()).toStdString() + "\n"),
      std::string::npos)
      << entry;
  EXPECT_EQ(entry.find("other"), std::string::npos) << entry;
}

TEST_F(PrefsTest, TheExecValueQuotesThePathAsOneArgument) {
  const std::pair<QString, QString> cases[] = {
      {"/usr/bin/carrolex", R"("/usr/bin/carrolex")"},
      {"/opt/Carro Lexiconia/carrolex", R"("/opt/Carro Lexiconia/carrolex")"},
      {R"(/opt/a"b`c$d\e/carrolex)", R"("/opt/a\\"b\\`c\\$d\\\\e/carrolex")"},
      {"/opt/100%/carrolex", R"("/opt/100%%/carrolex")"},
      {"/opt/a\tb/carrolex", R"("/opt/a\tb/carrolex")"},
      {QString::fromUtf8("/home/иван/Словарь/carrolex"),
       QString::fromUtf8(R"("/home/иван/Словарь/carrolex")")},
  };
  for (const auto& [path, exec] : cases) EXPECT_EQ(DesktopExecValue(path).toStdString(), exec.toStdString());
}

TEST_F(PrefsTest, AReadOnlySettingsFolderFailsTheSaveAndLosesNothing) {
  ASSERT_TRUE((CPrefs{.MaxResultDisplayCount = 123}).SaveToRegistry());
  const std::string before = SettingsFile();
  const CPrefs changed{.MaxResultDisplayCount = 456, .SearchExact = true};
  {
    const ReadOnlyFolder readOnly(SettingsFolder());
    if (!readOnly.Holds()) GTEST_SKIP() << "this process writes into read-only folders";
    EXPECT_FALSE(changed.SaveToRegistry());
    EXPECT_EQ(SettingsFile(), before);
  }
  EXPECT_TRUE(changed.SaveToRegistry());
  CPrefs loaded;
  loaded.LoadFromRegistry();
  EXPECT_EQ(loaded, changed);
}

TEST_F(PrefsTest, AnAutostartEntryThatCannotChangeFailsTheSave) {
  for (const bool autorun : {true, false}) {
    SCOPED_TRACE(autorun ? "writing the entry" : "removing the entry");
    QDir().mkpath(AutostartFolder());
    if (!autorun) WriteFile(AutostartEntry(), "[Desktop Entry]\n");
    const CPrefs prefs{.MaxResultDisplayCount = autorun ? 111 : 222, .Autorun = autorun};
    {
      const ReadOnlyFolder readOnly(AutostartFolder());
      if (!readOnly.Holds()) GTEST_SKIP() << "this process writes into read-only folders";
      EXPECT_FALSE(prefs.SaveToRegistry());
    }
    EXPECT_NE(QFile::exists(AutostartEntry()), autorun);
    CPrefs loaded;
    loaded.LoadFromRegistry();
    EXPECT_EQ(loaded.MaxResultDisplayCount, prefs.MaxResultDisplayCount)
        << "the values are saved all the same";
    EXPECT_TRUE(prefs.SaveToRegistry());
    EXPECT_EQ(QFile::exists(AutostartEntry()), autorun);
  }
}

TEST_F(PrefsTest, AnEntryTheDesktopSwitchedOffCountsAsNoneAndTheNextSaveRemovesIt) {
  const std::pair<const char*, bool> cases[] = {
      {"[Desktop Entry]\nType=Application\nHidden=true\n", false},
      {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\nExec=carrolex\n", false},
      {"[Desktop Entry]\r\nHidden = true\r\n", false},
      {"[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n", true},
      {"[Desktop Entry]\nName=Hidden=true\n", true},
      {"[Desktop Entry]\n[Desktop Action x]\nHidden=true\n", true},
      {"", true},
  };
  for (const auto& [entry, counts] : cases) {
    SCOPED_TRACE(entry);
    WriteFile(AutostartEntry(), entry);
    CPrefs prefs;
    prefs.LoadFromRegistry();
    EXPECT_EQ(prefs.Autorun, counts);
    ASSERT_TRUE(prefs.SaveToRegistry());
    EXPECT_EQ(QFile::exists(AutostartEntry()), counts);
  }
}

TEST_F(PrefsTest, AFileWhereTheSettingsFolderShouldBeFailsTheSave) {
  WriteFile(folder.filePath("TelmoTX"), "not a folder");
  EXPECT_FALSE((CPrefs{.MaxResultDisplayCount = 123}).SaveToRegistry());
  CPrefs loaded;
  loaded.LoadFromRegistry();
  EXPECT_EQ(loaded, CPrefs());
}

TEST_F(PrefsTest, TheEntryKeepsWhatTheUserWroteInIt) {
  const char* exec = "\"/usr/bin/carrolex\"";
  const std::pair<const char*, const char*> cases[] = {
      {"", "[Desktop Entry]\nType=Application\nName=Telmo Carro Lexiconia\nExec=\"/usr/bin/carrolex\"\n"},
      {"[Desktop Entry]\nName=Словарь\nExec=/old/carrolex --x\nX-GNOME-Autostart-Delay=10\nComment=mine\n",
       "[Desktop "
       "Entry]\nType=Application\nName=Словарь\nExec=\"/usr/bin/carrolex\"\nX-GNOME-Autostart-Delay=10\n"
       "Comment=mine\n"},
      {"# mine\n[Desktop Entry]\r\nType=Application\r\nExec = old\r\n[Desktop Action x]\nExec=keep\n",
       "# mine\n[Desktop Entry]\r\nName=Telmo Carro "
       "Lexiconia\nType=Application\r\nExec=\"/usr/bin/carrolex\"\n"
       "[Desktop Action x]\nExec=keep\n"},
      {"Comment=no group",
       "[Desktop Entry]\nType=Application\nName=Telmo Carro Lexiconia\nExec=\"/usr/bin/carrolex\"\n\n"
       "Comment=no group\n"},
  };
  for (const auto& [existing, written] : cases)
    EXPECT_EQ(DesktopEntryStarting(existing, exec).toStdString(), written) << existing;

  WriteFile(AutostartEntry(), "[Desktop Entry]\nName=Мой словарь\nExec=old\nX-KDE-autostart-after=panel\n");
  CPrefs prefs;
  prefs.LoadFromRegistry();
  ASSERT_TRUE(prefs.Autorun);
  ASSERT_TRUE(prefs.SaveToRegistry());
  const std::string entry = ReadFile(AutostartEntry());
  EXPECT_NE(entry.find("Name=Мой словарь\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("X-KDE-autostart-after=panel\n"), std::string::npos) << entry;
  EXPECT_EQ(entry.find("Exec=old"), std::string::npos) << entry;
}

TEST_F(PrefsTest, AnUnwritableAutostartFolderIsToldApartFromTheSettings) {
  QDir().mkpath(AutostartFolder());
  const ReadOnlyFolder readOnly(AutostartFolder());
  if (!readOnly.Holds()) GTEST_SKIP() << "this process writes into read-only folders";
  const CPrefsSaved saved = CPrefs{.Autorun = true}.SaveToRegistry();
  EXPECT_TRUE(saved.valuesWritten);
  EXPECT_FALSE(saved.runAtLogonWritten);
}

}  // namespace
