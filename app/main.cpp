#include <QApplication>

#include "app/MainForm.h"
#include "app/QtText.h"
#include "app/SingleInstance.h"
#include "dictionary/Messages.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName("TelmoTX");
  QApplication::setApplicationName("Telmo Carro Lexiconia");
  QApplication::setApplicationDisplayName(FromCp1251(kProgramTitle));

  // A second start hands over to the running program and ends before any window exists.
  CSingleInstance instance;
  if (instance.HandOverToRunningInstance()) return 0;

  TMainForm form;
  QObject::connect(&instance, &CSingleInstance::RestoreRequested, &form, &TMainForm::RestoreWindow);
  if (const int code = form.FormCreate(); code != 0) return code;
  if (form.StartMinimized())
    form.showMinimized();
  else
    form.show();
  return QApplication::exec();
}
