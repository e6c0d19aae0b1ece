#pragma once
// Starts of the program as separate processes (the probe executable) on a runtime folder of the test's.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <memory>
#include <string>

// Only a failing test waits this long; longer than a start waits for a busy instance.
inline constexpr int kWaitMs = 15000;

// `program`: the probe, or the program itself (CARROLEX).
inline std::unique_ptr<QProcess> StartProbe(const QString& runtimeFolder, const QStringList& arguments = {},
                                            const QString& program = SINGLE_INSTANCE_PROBE) {
  auto process = std::make_unique<QProcess>();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", runtimeFolder);
  process->setProcessEnvironment(environment);
  process->start(program, arguments);
  return process;
}

// The next line the process writes; empty when it ends without one.
inline std::string NextLine(QProcess& process) {
  const QDeadlineTimer deadline(kWaitMs);
  while (!process.canReadLine() && process.state() != QProcess::NotRunning && !deadline.hasExpired())
    process.waitForReadyRead(50);
  return process.readLine().trimmed().toStdString();
}

// Events go on while waiting, for an instance that runs in this test process.
inline int ExitCode(QProcess& process) {
  const QDeadlineTimer deadline(kWaitMs);
  while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
    process.waitForFinished(20);
    QCoreApplication::processEvents();
  }
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
    return -1;
  }
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
