#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStandardPaths>
#include <QString>

class QLocalSocket;

// One running program per user. A later start asks the running one to restore its window and ends;
// the running one listens on a socket in the user's private runtime folder, which no other user can
// reach or take.
class CSingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit CSingleInstance(
      const QString& runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
      QObject* parent = nullptr);

  // Call once, before any window exists. True: a running instance took the request to restore itself
  // (or did not answer in time) and this process should end with exit code 0. False: this process is
  // the running instance from now on and emits RestoreRequested for every later start.
  bool HandOverToRunningInstance();

  const QString& SocketPath() const { return socketPath; }

 signals:
  void RestoreRequested();

 private:
  void AcceptClients();
  void ReadRequest(QLocalSocket* client);

  QString runtimeFolder;
  QString socketPath;
  QLocalServer server;
};
