// The program's start as the single-instance tests see it: a later start hands over and ends with 0;
// the running one says on stdout when it listens and when a restore request comes, and ends after the
// first request (or, left alone, after a while with 3).
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include "app/SingleInstance.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QTextStream out(stdout);
  CSingleInstance instance;
  if (instance.HandOverToRunningInstance()) {
    out << "handed over" << Qt::endl;
    return 0;
  }
  out << "listening" << Qt::endl;
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &application, [&] {
    out << "restore" << Qt::endl;
    application.quit();
  });
  QTimer::singleShot(15000, &application, [&] { application.exit(3); });
  return application.exec();
}
