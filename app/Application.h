#pragma once
// What the program sets up on its application object before any window exists.

// Names, icon, the Russian standard dialogs, and quitting only with the main window.
void SetUpApplication();
