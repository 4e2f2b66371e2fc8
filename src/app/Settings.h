#pragma once
// The settings file beside the executable: read once when the main window is
// created, written once when it is destroyed.
#include "invoice/InvoiceSettings.h"
#include "platform/ColorNames.h"

#include <QSize>
#include <QString>

#include <array>
#include <optional>

struct Settings {
    // [window], in screen pixels.
    int windowTop = 0;
    int windowLeft = 0;
    int windowWidth = 500;
    int windowHeight = 500;

    // [history] history1..history5, most recent first; empty entries are unused.
    std::array<QString, 5> History{};

    // [sender]
    int SenderSpaceWidth = 200;
    int SenderLineHeight = 22;
    std::array<QString, 5> Sender{};  // sender1..sender5
    std::array<int, 5> SenderAlign{}; // sender1_aline..: 0 left, 1 centre, 2 right

    // [SalesTax] Sales_Tax: written only; new records read it through ReadSettingValue.
    double SalesTaxRate = 0.1;

    // [View]
    colornames::ColorValue LineColor = 0x00DBC6AA;
    int Margin = 0; // held to 10..30 by the side panel, not here

    // [Font]
    colornames::ColorValue FontColor = colornames::clBlack;
    QString FontName = QStringLiteral("Tahoma");
    int FontSizeOffset = 0;

    // [Hint]
    bool hintChecked = true;

    // [Printer]
    int paperSize = 9;   // a Windows paper-size code; 9 is A4
    int orientation = 1; // 1 portrait, 2 landscape
    QString PaperName;
    int PrintScale = 0;

    // [Invoice] Qualified, RegistrationNumber, ReducedRate
    invoice::InvoiceSettings invoice;
    // [Backup] earlier versions kept of each data file; 0 or below keeps none.
    int backupGenerations = 10;
};

// Reads every key, a missing file or key giving the defaults above, and corrects
// the window so that it lies on a screen of `screenSize`.
Settings readSettings(const QString& path, QSize screenSize);

// Writes every key in the file's order, keeping whatever else the file holds.
// Returns the error text to show when the file cannot be written; the old file is
// then left as it was.
std::optional<QString> writeSettings(const QString& path, const Settings& settings);

// The value of the first line "name=value" anywhere in the file (name compared
// without regard to case, spaces included), or `defaultValue` when there is no such
// line, its value is empty or the file is missing.
QString ReadSettingValue(const QString& path, const QString& name, const QString& defaultValue);

// The settings file of an executable: its path with the extension replaced by ".ini".
// When `configDir` is given and the executable's folder cannot be written (an installed
// program in /usr/bin), it is "ledora.ini" in `configDir` instead.
QString settingsPathFor(const QString& executablePath, const QString& configDir = QString());

// The settings file of the running program: beside it, or in the user's configuration
// folder when its folder is not writable.
QString settingsFilePath();
