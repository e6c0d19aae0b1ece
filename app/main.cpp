#include <QApplication>
#include <cstdio>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/SingleInstance.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  SetUpApplication();

  // A second start hands over to the running program and ends before any window exists.
  const QString lookUp = LookUpOfArguments(QApplication::arguments());
  CSingleInstance instance;
  switch (instance.HandOverToRunningInstance(lookUp)) {
    case CSingleInstance::CStart::HandedOver:
      return 0;
    case CSingleInstance::CStart::Unanswered:
      std::fprintf(stderr, "carrolex: %s\n", qPrintable(instance.Problem()));
      return 1;
    case CSingleInstance::CStart::Running:
      break;
  }

  TMainForm form;
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &form, &TMainForm::LookUp);
  if (const int code = form.FormCreate(); code != 0) return code;
  form.ShowAtStart(lookUp);
  return QApplication::exec();
}
