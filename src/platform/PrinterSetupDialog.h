#pragma once
// The printer set-up dialog (printer, paper, orientation). The window calls it through
// its dialog seam so tests can answer it without a modal dialog.
#include <functional>

class PrinterDevice;
class QWidget;

// Runs the platform's printer set-up dialog on the device; true when confirmed.
bool runPrinterSetupDialog(PrinterDevice& device, QWidget* parent);
