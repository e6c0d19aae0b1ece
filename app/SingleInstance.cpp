#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>

using namespace Qt::StringLiterals;

namespace {

// "restore\n", or "restore TEXT\n" with the text to look up in UTF-8.
const QByteArray kRestore = "restore\n";
const QByteArray kRestoreWith = "restore ";
// The longest request: the text's 200 characters take at most four bytes each.
constexpr qsizetype kMaxRequestBytes = 1024;
const QByteArray kDone = "ok\n";
// A start holds the lock for milliseconds; one held longer belongs to a hung start.
constexpr int kStartLockWaitMs = 1000;
constexpr int kListenCheckMs = 1000;

}  // namespace

CSingleInstance::CSingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), runtimeFolder(folder), socketPath(folder + u"/carrolex.sock"_s) {
  connect(&server, &QLocalServer::newConnection, this, &CSingleInstance::AcceptClients);
  keepListening.setInterval(kListenCheckMs);
  connect(&keepListening, &QTimer::timeout, this, [this] {
    if (!server.isListening()) Listen();
  });
}

QString CSingleInstance::LookUpText(const QString& text) {
  QString clean = text;
  for (QChar& c : clean)
    if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
      c = u' ';
  clean = clean.simplified();
  if (clean.size() > kMaxLookUpLength) {
    clean.truncate(kMaxLookUpLength);
    if (clean.back().isHighSurrogate()) clean.chop(1);
    clean = clean.trimmed();
  }
  return clean;
}

CSingleInstance::CStart CSingleInstance::HandOverToRunningInstance(const QString& lookUp) {
  // Without the private folder a socket would sit where other users could reach it: run on alone.
  if (runtimeFolder.isEmpty()) {
    qWarning("No private runtime folder: a second start will not find this instance");
    return CStart::Running;
  }
  // Two quick starts take turns from the probe to the listen, so that one finds the other's server. A lock
  // left by a crash is stale and taken over; one that is not freed in time does not stop the start.
  QLockFile startLock(runtimeFolder + u"/carrolex.lock"_s);
  startLock.tryLock(kStartLockWaitMs);

  QLocalSocket probe;
  probe.connectToServer(socketPath);
  if (probe.waitForConnected(kAnswerWaitMs)) {
    startLock.unlock();
    const QString text = LookUpText(lookUp);
    probe.write(text.isEmpty() ? kRestore : kRestoreWith + text.toUtf8() + '\n');
    probe.waitForBytesWritten(kAnswerWaitMs);
    // The running instance restores its window and answers, or hangs up on a request it does not take.
    while (!probe.canReadLine() && probe.state() == QLocalSocket::ConnectedState &&
           probe.waitForReadyRead(kAnswerWaitMs)) {
    }
    if (probe.canReadLine() && probe.readLine() == kDone) return CStart::HandedOver;
    problem = QString::fromUtf8(
                  "Программа уже запущена, но не ответила за %1 с (%2). Окно не открыто; "
                  "попробуйте ещё раз или завершите зависшую программу.")
                  .arg(kAnswerWaitMs / 1000)
                  .arg(socketPath);
    return CStart::Unanswered;
  }
  // What nobody answers on (a crashed instance's socket, a stray file) is left over and goes. After any other
  // failure (no access, no answer in time) the path stays: removing a live instance's socket would strand it.
  if (probe.error() == QLocalSocket::ConnectionRefusedError) QFile::remove(socketPath);
  if (probe.error() != QLocalSocket::ConnectionRefusedError &&
      probe.error() != QLocalSocket::ServerNotFoundError) {
    problem =
        QString::fromUtf8("Программа уже запущена, но к ней не удалось обратиться (%1: %2). Окно не открыто.")
            .arg(socketPath, probe.errorString());
    return CStart::Unanswered;
  }
  Listen();
  keepListening.start();
  return CStart::Running;
}

void CSingleInstance::Listen() {
  // No QLocalServer::UserAccessOption: with it Qt binds elsewhere and renames over the path, replacing
  // whatever is there; a plain bind fails while another socket holds the path. The folder keeps others out.
  if (server.listen(socketPath)) return;
  if (server.serverError() == QAbstractSocket::AddressInUseError) {
    // Ours, left by the server Qt closed; unless another start has taken the name meanwhile.
    QLocalSocket owner;
    owner.connectToServer(socketPath);
    if (owner.waitForConnected(0)) return;
    QFile::remove(socketPath);
    if (server.listen(socketPath)) return;
  }
  qWarning("Cannot listen on %s: %s", qPrintable(socketPath), qPrintable(server.errorString()));
}

void CSingleInstance::AcceptClients() {
  while (QLocalSocket* client = server.nextPendingConnection()) {
    if (clients >= kMaxClients) {
      client->abort();
      client->deleteLater();
      continue;
    }
    ++clients;
    connect(client, &QObject::destroyed, this, [this] { --clients; });
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] { ReadRequest(client); });
    // Nothing unbounded is kept for a client that says nothing.
    QTimer::singleShot(kClientSilenceMs, client, [client] {
      client->abort();
      client->deleteLater();
    });
  }
  if (!server.isListening()) Listen();
}

void CSingleInstance::ReadRequest(QLocalSocket* client) {
  if (!client->canReadLine()) {
    // Not our request: nothing unbounded is kept for it.
    if (client->bytesAvailable() > kMaxRequestBytes) client->abort();
    return;
  }
  const QByteArray request = client->readLine(kMaxRequestBytes + 1);
  if (request == kRestore || (request.startsWith(kRestoreWith) && request.endsWith('\n'))) {
    // Whoever wrote it, the text is treated as typed: cleaned and bounded again.
    emit RestoreRequested(request == kRestore
                              ? QString()
                              : LookUpText(QString::fromUtf8(request.mid(kRestoreWith.size()).chopped(1))));
    client->write(kDone);
    client->flush();  // before anything the restore started can end the program
  }
  client->disconnectFromServer();
}
