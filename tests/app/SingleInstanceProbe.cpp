// The program's start as the single-instance tests see it: a later start hands over and ends with 0,
// or says that nobody answered and ends with 1; the running one says on stdout when it listens and when
// a restore request comes, and ends after the first request (or, left alone, after a while with 3).
// Options: --max-files N limits the open files of the running one; --busy MS blocks its event loop for
// that long right after it starts listening; --look-up TEXT goes with a later start's request, and the
// running one says "restore TEXT".
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include "app/SingleInstance.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = application.arguments();
  const auto option = [&arguments](const char* name) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 0;
  };
  QTextStream out(stdout);
  CSingleInstance instance;
  const qsizetype lookUp = arguments.indexOf("--look-up");
  switch (instance.HandOverToRunningInstance(
      lookUp >= 0 && lookUp + 1 < arguments.size() ? arguments[lookUp + 1] : QString())) {
    case CSingleInstance::CStart::HandedOver:
      out << "handed over" << Qt::endl;
      return 0;
    case CSingleInstance::CStart::Unanswered:
      out << "unanswered" << Qt::endl;
      QTextStream(stderr) << instance.Problem() << Qt::endl;
      return 1;
    case CSingleInstance::CStart::Running:
      break;
  }
  if (const int files = option("--max-files")) {
    const rlimit limit{static_cast<rlim_t>(files), static_cast<rlim_t>(files)};
    setrlimit(RLIMIT_NOFILE, &limit);
  }
  out << "listening" << Qt::endl;
  if (const int busy = option("--busy")) QThread::msleep(static_cast<unsigned long>(busy));
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &application, [&](const QString& text) {
    out << "restore" << (text.isEmpty() ? QString() : u' ' + text) << Qt::endl;
    application.quit();
  });
  QTimer::singleShot(30000, &application, [&] { application.exit(3); });
  return application.exec();
}
