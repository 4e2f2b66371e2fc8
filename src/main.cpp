#include "app/Application.h"

#include <cstdio>
#include <string_view>

namespace {

const char kHelp[] =
    "usage: ledora [--help | --version]\n"
    "\n"
    "Opens the window in which estimates, invoices and delivery notes are written, kept\n"
    "and printed. The settings file is ledora.ini beside the program when that folder is\n"
    "writable, else ~/.config/Ledora/ledora.ini.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

} // namespace

int main(int argc, char** argv) {
    // Answered before any window system is asked for, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("ledora " LEDORA_VERSION_TEXT);
            return 0;
        }
    }
    return runLedora(argc, argv);
}
