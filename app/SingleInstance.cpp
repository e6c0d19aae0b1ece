#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>

namespace {

const QByteArray kRestore = "restore\n";
const QByteArray kDone = "ok\n";
// Long enough for a busy running instance, short enough that a hung one never holds up a start for long.
constexpr int kWaitMs = 2000;
// A start holds the lock for milliseconds; one held longer belongs to a hung start.
constexpr int kStartLockWaitMs = 1000;

}  // namespace

CSingleInstance::CSingleInstance(const QString& runtimeFolder, QObject* parent)
    : QObject(parent), runtimeFolder(runtimeFolder), socketPath(runtimeFolder + "/carrolex.sock") {
  connect(&server, &QLocalServer::newConnection, this, &CSingleInstance::AcceptClients);
}

bool CSingleInstance::HandOverToRunningInstance() {
  // Without the private folder a socket would sit where other users could reach it: run on alone.
  if (runtimeFolder.isEmpty()) {
    qWarning("No private runtime folder: a second start will not find this instance");
    return false;
  }
  // Two quick starts take turns from the probe to the listen, so that one finds the other's server. A lock
  // left by a crash is stale and taken over; one that is not freed in time does not stop the start.
  QLockFile startLock(runtimeFolder + "/carrolex.lock");
  startLock.tryLock(kStartLockWaitMs);

  QLocalSocket probe;
  probe.connectToServer(socketPath);
  if (probe.waitForConnected(kWaitMs)) {
    startLock.unlock();
    probe.write(kRestore);
    probe.waitForBytesWritten(kWaitMs);
    probe.waitForReadyRead(kWaitMs);  // the running instance has restored its window, or closed on us
    return true;
  }
  // What nobody answers on (a crashed instance's socket, a stray file) is left over and goes. After any other
  // failure (no access, no answer in time) the path stays: removing a live instance's socket would strand it.
  if (probe.error() == QLocalSocket::ConnectionRefusedError) QFile::remove(socketPath);
  // No QLocalServer::UserAccessOption: with it Qt binds elsewhere and renames over the path, replacing
  // whatever is there; a plain bind fails while another socket holds the path. The folder keeps others out.
  if (!server.listen(socketPath))
    qWarning("Cannot listen on %s: %s", qPrintable(socketPath), qPrintable(server.errorString()));
  return false;
}

void CSingleInstance::AcceptClients() {
  while (QLocalSocket* client = server.nextPendingConnection()) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] { ReadRequest(client); });
  }
}

void CSingleInstance::ReadRequest(QLocalSocket* client) {
  if (!client->canReadLine()) {
    // Not our request: nothing unbounded is kept for it.
    if (client->bytesAvailable() > kRestore.size()) client->abort();
    return;
  }
  if (client->readLine() == kRestore) {
    emit RestoreRequested();
    client->write(kDone);
  }
  client->disconnectFromServer();
}
