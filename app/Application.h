#pragma once
// What the program sets up on its application object before any window exists.

#include <QStringList>

// Names, icon, the Russian standard dialogs, and quitting only with the main window.
void SetUpApplication();

// The text a start asks to look up: its arguments joined by spaces, or with --selection the text
// selected in another program (the primary selection; the clipboard where the platform has none).
QString LookUpOfArguments(const QStringList& arguments);
