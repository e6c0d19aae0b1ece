#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStandardPaths>
#include <QString>
#include <QTimer>

class QLocalSocket;

// One running program per user. A later start asks the running one to restore its window (and to look
// up the text it was given) and ends; the running one listens on a socket in the user's private runtime
// folder, which no other user can reach or take.
class CSingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class CStart {
    Running,     // this process is the running instance from now on
    HandedOver,  // the running instance took the request; end with exit code 0
    Unanswered,  // something holds the socket but did not answer in time; Problem() says what
  };

  explicit CSingleInstance(
      const QString& folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
      QObject* parent = nullptr);

  // Call once, before any window exists. Running: emits RestoreRequested for every later start.
  // `lookUp` goes with the request, as LookUpText makes it.
  CStart HandOverToRunningInstance(const QString& lookUp = QString());
  // What a start that got no answer found, for the user.
  const QString& Problem() const { return problem; }

  const QString& SocketPath() const { return socketPath; }

  // A busy instance (a long page layout blocks its window) gets this long to answer.
  static constexpr int kAnswerWaitMs = 10000;
  // A client that has said nothing whole by then is dropped, and no more than this many at once.
  static constexpr int kClientSilenceMs = 1000;
  static constexpr int kMaxClients = 16;
  // A text to look up is at most this long; control characters become spaces.
  static constexpr int kMaxLookUpLength = 200;
  static QString LookUpText(const QString& text);

 signals:
  // `lookUp`: the later start's text, empty when it gave none.
  void RestoreRequested(const QString& lookUp);

 private:
  void Listen();
  void AcceptClients();
  void ReadRequest(QLocalSocket* client);

  QString runtimeFolder;
  QString socketPath;
  QString problem;
  QLocalServer server;
  // Qt closes the server when an accept fails (all file descriptors in use): it listens again.
  QTimer keepListening;
  int clients = 0;
};
