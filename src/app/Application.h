#pragma once
#include "app/QtDialogService.h"
#include "app/TForm1.h"
#include "app/TForm4.h"

#include <memory>

// The program's windows, made in the start-up order: the main window (its start-up
// sequence runs as it is made), the sender-items dialog, the exit dialog. Destroying them
// ends with the main window, which writes the settings file.
struct ProgramWindows {
    QtDialogService dialogs;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm4> exitDialog;
};

// `options.dialogs` is replaced by the windows' own dialogs.
std::unique_ptr<ProgramWindows> createProgramWindows(TForm1Options options);

// Runs the program: single-instance guard, main window, message loop.
int runLedora(int argc, char** argv);
