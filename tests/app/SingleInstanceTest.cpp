// Starts of the program are real processes (the probe executable) sharing a private runtime folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/SingleInstance.h"
#include "tests/app/ProbeProcess.h"

using namespace Qt::StringLiterals;

namespace {

void ExpectHandOver(const QString& runtimeFolder, QProcess& running) {
  auto later = StartProbe(runtimeFolder);
  EXPECT_EQ(NextLine(*later), "handed over");
  EXPECT_EQ(ExitCode(*later), 0);
  EXPECT_EQ(NextLine(running), "restore");
  EXPECT_EQ(ExitCode(running), 0);
}

QString SocketPath(const QString& runtimeFolder) {
  return CSingleInstance(runtimeFolder).SocketPath();
}

void WriteFile(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("left over\n");
}

}  // namespace

TEST(SingleInstanceTest, SecondStartHandsOverAndTheRunningOneRestores) {
  QTemporaryDir runtime;
  auto first = StartProbe(runtime.path());
  ASSERT_EQ(NextLine(*first), "listening");
  ExpectHandOver(runtime.path(), *first);
}

TEST(SingleInstanceTest, WhatACrashLeftBehindDoesNotBlockAStart) {
  const struct {
    const char* what;
    std::function<void(const QString& runtimeFolder)> leave;
  } leftovers[] = {
      {"a plain file at the socket path", [](const QString& folder) { WriteFile(SocketPath(folder)); }},
      {"the socket of a killed instance",
       [](const QString& folder) {
         auto killed = StartProbe(folder);
         ASSERT_EQ(NextLine(*killed), "listening");
         killed->kill();
         killed->waitForFinished(kWaitMs);
       }},
      {"a socket file and a start lock nobody frees",
       [](const QString& folder) {
         WriteFile(SocketPath(folder));
         WriteFile(folder + "/carrolex.lock");
       }},
  };
  for (const auto& leftover : leftovers) {
    SCOPED_TRACE(leftover.what);
    QTemporaryDir runtime;
    leftover.leave(runtime.path());
    ASSERT_TRUE(QFile::exists(SocketPath(runtime.path())));
    auto first = StartProbe(runtime.path());
    ASSERT_EQ(NextLine(*first), "listening");
    ExpectHandOver(runtime.path(), *first);
  }
}

TEST(SingleInstanceTest, TwoQuickStartsMakeOneRunningInstance) {
  QTemporaryDir runtime;
  auto one = StartProbe(runtime.path());
  auto other = StartProbe(runtime.path());
  const std::string oneSays = NextLine(*one);
  const std::string otherSays = NextLine(*other);
  ASSERT_TRUE((oneSays == "listening") != (otherSays == "listening")) << oneSays << " / " << otherSays;
  QProcess& running = oneSays == "listening" ? *one : *other;
  QProcess& later = oneSays == "listening" ? *other : *one;
  EXPECT_EQ(oneSays == "listening" ? otherSays : oneSays, "handed over");
  EXPECT_EQ(ExitCode(later), 0);
  EXPECT_EQ(NextLine(running), "restore");
  EXPECT_EQ(ExitCode(running), 0);
}

TEST(SingleInstanceTest, LaterStartsLeaveTheRunningInstanceItsSocket) {
  QTemporaryDir runtime;
  CSingleInstance running(runtime.path());
  ASSERT_EQ(running.HandOverToRunningInstance(), CSingleInstance::CStart::Running);
  int restores = 0;
  QObject::connect(&running, &CSingleInstance::RestoreRequested, [&] { ++restores; });
  for (int start = 1; start <= 2; ++start) {
    auto later = StartProbe(runtime.path());
    EXPECT_EQ(ExitCode(*later), 0);
    EXPECT_EQ(NextLine(*later), "handed over");
    EXPECT_EQ(restores, start);
  }
}

TEST(SingleInstanceTest, RunningInstanceAnswersOnlyRestoreRequests) {
  QTemporaryDir runtime;
  auto first = StartProbe(runtime.path());
  ASSERT_EQ(NextLine(*first), "listening");
  const struct {
    const char* what;
    QByteArray says;
    bool hangsUp;
  } clients[] = {
      {"another request", "hello\n", false},
      {"a long line without an end", QByteArray(1000, 'x'), false},
      {"silence, then hanging up", "", true},
      {"half a request, then hanging up", "rest", true},
  };
  for (const auto& client : clients) {
    SCOPED_TRACE(client.what);
    QLocalSocket socket;
    socket.connectToServer(SocketPath(runtime.path()));
    ASSERT_TRUE(socket.waitForConnected(kWaitMs));
    socket.write(client.says);
    socket.waitForBytesWritten(kWaitMs);
    if (client.hangsUp) {
      socket.abort();
      continue;
    }
    // Hung up on without an answer.
    EXPECT_TRUE(socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(kWaitMs));
    EXPECT_EQ(socket.readAll(), "");
  }
  ExpectHandOver(runtime.path(), *first);
}

TEST(SingleInstanceTest, ClientThatHangsUpBeforeTheAnswerStillRestoresAndTheInstanceGoesOn) {
  QTemporaryDir runtime;
  CSingleInstance running(runtime.path());
  ASSERT_EQ(running.HandOverToRunningInstance(), CSingleInstance::CStart::Running);
  int restores = 0;
  QObject::connect(&running, &CSingleInstance::RestoreRequested, [&] { ++restores; });
  QLocalSocket impatient;
  impatient.connectToServer(running.SocketPath());
  ASSERT_TRUE(impatient.waitForConnected(kWaitMs));
  impatient.write("restore\n");
  impatient.waitForBytesWritten(kWaitMs);
  impatient.abort();
  auto later = StartProbe(runtime.path());
  EXPECT_EQ(ExitCode(*later), 0);
  EXPECT_EQ(NextLine(*later), "handed over");
  EXPECT_EQ(restores, 2);
}

TEST(SingleInstanceTest, ALaterStartsTextComesCleanedAndBounded) {
  QTemporaryDir runtime;
  auto first = StartProbe(runtime.path());
  ASSERT_EQ(NextLine(*first), "listening");
  auto later =
      StartProbe(runtime.path(), {"--look-up", QString::fromUtf8("  тормозной\tдиск\n\x01 Zündkerze ")});
  EXPECT_EQ(NextLine(*later), "handed over");
  EXPECT_EQ(NextLine(*first), "restore тормозной диск Zündkerze");
  EXPECT_EQ(ExitCode(*first), 0);

  const struct {
    QString given;
    QString looksUp;
  } texts[] = {
      {QString(), QString()},
      {u"\u2028brake\u0085pad\u007f"_s, u"brake pad"_s},
      {QString(300, u'я'), QString(200, u'я')},
      {QString(199, u'a') + QString::fromUtf8("😀"), QString(199, u'a')},  // never half a character
  };
  for (const auto& text : texts) EXPECT_EQ(CSingleInstance::LookUpText(text.given), text.looksUp);
}

// Whatever a client writes, what reaches the window is a bounded text without control characters.
TEST(SingleInstanceTest, ARequestWithTextIsTakenOnlyWholeAndBounded) {
  QTemporaryDir runtime;
  CSingleInstance running(runtime.path());
  ASSERT_EQ(running.HandOverToRunningInstance(), CSingleInstance::CStart::Running);
  std::vector<QString> looked;
  QObject::connect(&running, &CSingleInstance::RestoreRequested,
                   [&](const QString& text) { looked.push_back(text); });
  const QByteArray requests[] = {
      "restore " + QByteArray(2000, 'x') + "\n",  // beyond any text a start sends: hung up on
      "restore <b>brake</b>\x1b[2J\xff\n",
      "restore \n",
  };
  for (const QByteArray& request : requests) {
    QLocalSocket client;
    client.connectToServer(running.SocketPath());
    ASSERT_TRUE(client.waitForConnected(kWaitMs));
    client.write(request);
    client.waitForBytesWritten(kWaitMs);
    const QDeadlineTimer deadline(kWaitMs);
    while (client.state() == QLocalSocket::ConnectedState && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_EQ(looked, (std::vector<QString>{u"<b>brake</b> [2J\ufffd"_s, QString()}));
}

// More clients than the running instance has file descriptors: it drops the silent ones and listens on.
TEST(SingleInstanceTest, AFloodOfConnectionsDoesNotStopTheRunningInstance) {
  QTemporaryDir runtime;
  auto first = StartProbe(runtime.path(), {"--max-files", "48"});
  ASSERT_EQ(NextLine(*first), "listening");
  std::vector<std::unique_ptr<QLocalSocket>> flood;
  for (int i = 0; i < 120; ++i) {
    flood.push_back(std::make_unique<QLocalSocket>());
    flood.back()->connectToServer(SocketPath(runtime.path()));
  }
  QDeadlineTimer settle(2500);
  while (!settle.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  flood.clear();
  ExpectHandOver(runtime.path(), *first);
}

// A running instance that is busy (a long layout blocks its window) still gets the request.
TEST(SingleInstanceTest, ALaterStartWaitsForABusyInstance) {
  QTemporaryDir runtime;
  auto first = StartProbe(runtime.path(), {"--busy", "4000"});
  ASSERT_EQ(NextLine(*first), "listening");
  ExpectHandOver(runtime.path(), *first);
}

// Something that takes connections and never answers: the later start says so and opens nothing.
TEST(SingleInstanceTest, ASocketThatNeverAnswersIsReported) {
  QTemporaryDir runtime;
  QLocalServer stuck;
  ASSERT_TRUE(stuck.listen(SocketPath(runtime.path())));
  auto later = StartProbe(runtime.path());
  EXPECT_EQ(NextLine(*later), "unanswered");
  EXPECT_EQ(ExitCode(*later), 1);
  const QString said = QString::fromUtf8(later->readAllStandardError());
  EXPECT_TRUE(said.contains(SocketPath(runtime.path()))) << said.toStdString();
  EXPECT_TRUE(said.contains(QString::fromUtf8("не ответила"))) << said.toStdString();
}
