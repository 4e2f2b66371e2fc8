#include "app/Settings.h"

#include "invoice/RegistrationNumber.h"
#include "platform/Cp932.h"
#include "platform/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

const char* const kCannotWrite = "%1 に書き込めません";

QByteArray numbered(const char* prefix, int index, const char* suffix = "") {
    return QByteArray(prefix) + QByteArray::number(index + 1) + suffix;
}

void readInvoiceSection(const ProfileFile& file, invoice::InvoiceSettings& v) {
    v.qualified = file.readBool("Invoice", "Qualified", v.qualified);
    // A number edited by hand is taken in its plain form; one that is no number at all
    // would print as one, so it is dropped.
    const invoice::RegistrationNumberReading number =
        invoice::ReadRegistrationNumber(file.readText("Invoice", "RegistrationNumber", QString()));
    v.registrationNumber = number.number;
    const double rate = file.readReal("Invoice", "ReducedRate", v.reducedRate);
    // A percentage written where the fraction belongs would tax at hundreds of percent;
    // 0 is refused as the dialog refuses it.
    v.reducedRate = rate > 0 && rate < 1 ? rate : invoice::kDefaultReducedRate;
}

void writeInvoiceSection(ProfileFile& file, const invoice::InvoiceSettings& v) {
    file.writeBool("Invoice", "Qualified", v.qualified);
    file.writeText("Invoice", "RegistrationNumber", v.registrationNumber);
    file.writeReal("Invoice", "ReducedRate", v.reducedRate);
}

} // namespace

Settings readSettings(const QString& path, QSize screenSize) {
    Settings s;
    ProfileFile file;
    file.load(path); // an unreadable file reads like a missing one: all defaults

    s.windowWidth = file.readInteger("window", "Width", s.windowWidth);
    s.windowHeight = file.readInteger("window", "Height", s.windowHeight);
    s.windowTop = std::max(0, file.readInteger("window", "Top", s.windowTop));
    if (s.windowTop > screenSize.height() - 100) {
        s.windowTop = screenSize.height() - s.windowHeight;
    }
    s.windowLeft = std::max(0, file.readInteger("window", "Left", s.windowLeft));
    if (s.windowLeft > screenSize.width() - s.windowWidth) {
        s.windowLeft = screenSize.width() - s.windowWidth;
    }
    // A window larger than the screen would otherwise be pushed above or left of
    // it, out of reach of the mouse.
    s.windowTop = std::max(0, s.windowTop);
    s.windowLeft = std::max(0, s.windowLeft);

    for (int i = 0; i < 5; ++i) {
        s.History[i] = file.readText("history", numbered("history", i), QString());
    }

    s.SenderSpaceWidth = file.readInteger("sender", "senderspacewidth", s.SenderSpaceWidth);
    s.SenderLineHeight = std::max(5, file.readInteger("sender", "senderBL", s.SenderLineHeight));
    for (int i = 0; i < 5; ++i) {
        s.Sender[i] = file.readText("sender", numbered("sender", i), QString());
    }
    for (int i = 0; i < 5; ++i) {
        s.SenderAlign[i] = file.readInteger("sender", numbered("sender", i, "_aline"), 0);
    }

    s.LineColor = file.readColor("View", "Line_color", s.LineColor);
    s.Margin = file.readInteger("View", "Margin", s.Margin);

    s.FontColor = file.readColor("Font", "Font_color", s.FontColor);
    s.FontName = file.readText("Font", "Font_name", s.FontName);
    s.FontSizeOffset = file.readInteger("Font", "FontSize", s.FontSizeOffset);

    s.hintChecked = file.readBool("Hint", "HintChecked", s.hintChecked);

    s.paperSize = file.readInteger("Printer", "PaperSize", s.paperSize);
    s.orientation = file.readInteger("Printer", "Orientation", s.orientation);
    s.PaperName = file.readText("Printer", "Papername", s.PaperName);
    s.PrintScale = file.readInteger("Printer", "PrintScale", s.PrintScale);

    readInvoiceSection(file, s.invoice);
    s.backupGenerations = file.readInteger("Backup", "Generations", s.backupGenerations);
    return s;
}

std::optional<QString> writeSettings(const QString& path, const Settings& s) {
    const QString cannotWrite =
        QString::fromUtf8(kCannotWrite)
            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));

    ProfileFile file;
    // Rewriting a file we could not read would drop what it holds.
    if (!file.load(path)) {
        return cannotWrite;
    }

    file.writeInteger("window", "Top", s.windowTop);
    file.writeInteger("window", "Left", s.windowLeft);
    file.writeInteger("window", "Width", s.windowWidth);
    file.writeInteger("window", "Height", s.windowHeight);

    // The file is CP932: a path it cannot hold would come back altered, naming a file
    // that does not exist, so it is left out and the later entries move up.
    std::array<QString, 5> history{};
    std::copy_if(s.History.begin(), s.History.end(), history.begin(), [](const QString& p) {
        return !p.isEmpty() && cp932::decode(cp932::encode(p)) == p;
    });
    for (int i = 0; i < 5; ++i) {
        file.writeText("history", numbered("history", i), history[i]);
    }

    file.writeInteger("sender", "senderspacewidth", s.SenderSpaceWidth);
    file.writeInteger("sender", "senderBL", s.SenderLineHeight);
    for (int i = 0; i < 5; ++i) {
        file.writeText("sender", numbered("sender", i), s.Sender[i]);
    }
    for (int i = 0; i < 5; ++i) {
        file.writeInteger("sender", numbered("sender", i, "_aline"), s.SenderAlign[i]);
    }

    file.writeReal("SalesTax", "Sales_Tax", s.SalesTaxRate);

    file.writeColor("View", "Line_color", s.LineColor);
    file.writeInteger("View", "Margin", s.Margin);

    file.writeColor("Font", "Font_color", s.FontColor);
    file.writeText("Font", "Font_name", s.FontName);
    file.writeInteger("Font", "FontSize", s.FontSizeOffset);

    file.writeBool("Hint", "HintChecked", s.hintChecked);

    file.writeInteger("Printer", "PaperSize", s.paperSize);
    file.writeInteger("Printer", "Orientation", s.orientation);
    file.writeText("Printer", "Papername", s.PaperName);
    file.writeInteger("Printer", "PrintScale", s.PrintScale);

    writeInvoiceSection(file, s.invoice);
    file.writeInteger("Backup", "Generations", s.backupGenerations);

    // The user's configuration folder may not exist yet.
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.save(path)) {
        return cannotWrite;
    }
    return std::nullopt;
}

QString ReadSettingValue(const QString& path, const QString& name, const QString& defaultValue) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return defaultValue;
    }
    const QByteArray wanted = cp932::encode(name);
    for (const QByteArray& line : ProfileFile::splitLines(file.readAll())) {
        // "=" is never the second byte of a double-byte character.
        const qsizetype eq = line.indexOf('=');
        if (eq >= 0 && ProfileFile::namesEqual(line.left(eq), wanted)) {
            const QByteArray value = line.mid(eq + 1);
            return value.isEmpty() ? defaultValue : cp932::decode(value);
        }
    }
    return defaultValue;
}

namespace {

constexpr char kConfigFileName[] = "ledora.ini";

// As for the settings file itself, the owner's write bit counts even for an
// administrator: a folder marked read-only keeps no settings.
bool folderWritable(const QString& dir) {
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable() && (info.permissions() & QFile::WriteOwner);
}

} // namespace

QString settingsPathFor(const QString& executablePath, const QString& configDir) {
    if (!configDir.isEmpty() && !folderWritable(QFileInfo(executablePath).absolutePath()))
        return QDir(configDir).filePath(QString::fromLatin1(kConfigFileName));
    const QFileInfo info(executablePath);
    const QString fileName = info.fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString base = dot > 0 ? fileName.left(dot) : fileName;
    const QString dir = executablePath.left(executablePath.size() - fileName.size());
    return dir + base + QStringLiteral(".ini");
}

QString settingsFilePath() {
    return settingsPathFor(QCoreApplication::applicationFilePath(),
                           QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
