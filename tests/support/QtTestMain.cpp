// Window tests run on the offscreen platform with a home of their own: they never see the
// user's settings, autostart entries or running program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  for (const char* folder : {"config", "data", "cache", "runtime"}) QDir(home.path()).mkpath(folder);
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
  qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
  qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toUtf8());
  QFile::setPermissions(home.path() + "/runtime",
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QApplication application(argc, argv);
  // The program's own icon is built into carrolex; the tray icon of the tests needs one all the same.
  QPixmap icon(16, 16);
  icon.fill(Qt::darkBlue);
  QApplication::setWindowIcon(QIcon(icon));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path() + "/config");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
