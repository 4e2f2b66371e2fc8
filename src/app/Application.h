#pragma once

// Runs the program: single-instance guard, main window, message loop.
int runLedora(int argc, char** argv);
