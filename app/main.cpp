#include <QApplication>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/SingleInstance.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  SetUpApplication();

  // A second start hands over to the running program and ends before any window exists.
  CSingleInstance instance;
  if (instance.HandOverToRunningInstance()) return 0;

  TMainForm form;
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &form, &TMainForm::RestoreWindow);
  if (const int code = form.FormCreate(); code != 0) return code;
  form.ShowAtStart();
  return QApplication::exec();
}
