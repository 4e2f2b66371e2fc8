#pragma once
// Settings file reader: the profile file over any bytes, every settings value read as
// start-up reads it, and writing keeps what it does not touch: after a value is set,
// it reads back as written and every other key reads as before, also after the text
// is saved and parsed again.
#include "FuzzCheck.h"

#include "app/Settings.h"
#include "platform/Cp932.h"
#include "platform/ProfileFile.h"
#include "platform/ProfileValue.h"

#include <QDir>
#include <QFile>
#include <QSize>

#include <cstdint>
#include <string>
#include <unistd.h>

namespace fuzzsupport {

struct Key {
    const char* section;
    const char* key;
};

constexpr Key Keys[] = {
    {"window", "Top"},
    {"window", "Left"},
    {"window", "Width"},
    {"window", "Height"},
    {"history", "history1"},
    {"history", "history5"},
    {"sender", "senderspacewidth"},
    {"sender", "senderBL"},
    {"sender", "sender1"},
    {"sender", "sender3_aline"},
    {"SalesTax", "Sales_Tax"},
    {"View", "Line_color"},
    {"View", "Margin"},
    {"Font", "Font_color"},
    {"Font", "Font_name"},
    {"Hint", "HintChecked"},
    {"Printer", "PaperSize"},
    {"Printer", "Papername"},
};

QByteArray expectedRead(QByteArray written) {
    written.replace('\r', ' ').replace('\n', ' ');
    return cp932::cutToWidth(written, ProfileFile::maxValueBytes);
}

QString scratchPath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/fuzz_settings_%1.ini").arg(qint64(getpid()));
    return path;
}

} // namespace fuzzsupport

namespace fuzzsupport {

inline std::string checkSettingsFile(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // The file as start-up and new records read it.
    {
        QFile file(scratchPath());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(bytes);
            file.close();
            const Settings s = readSettings(scratchPath(), QSize(1024, 768));
            FUZZ_CHECK(s.windowTop >= 0 && s.windowLeft >= 0);
            FUZZ_CHECK(s.SenderLineHeight >= 5);
            FUZZ_CHECK(!ReadSettingValue(scratchPath(), QStringLiteral("Sales_Tax"),
                                         QStringLiteral("0.08"))
                            .isEmpty());
        }
    }

    ProfileFile profile = ProfileFile::fromBytes(bytes);
    for (const Key& k : Keys) {
        profile.readInteger(k.section, k.key, 0);
        profile.readReal(k.section, k.key, 0.0);
        profile.readColor(k.section, k.key, 0);
        profile.readText(k.section, k.key, QString());
    }

    // The text parses to the same values it was made from.
    const ProfileFile reparsed = ProfileFile::fromBytes(profile.toBytes());
    for (const Key& k : Keys)
        FUZZ_CHECK(reparsed.value(k.section, k.key) == profile.value(k.section, k.key));

    // Write one key with a value taken from the input's tail.
    const Key& target = Keys[size % std::size(Keys)];
    const QByteArray written = bytes.right(std::min<qsizetype>(bytes.size(), 80));
    std::vector<std::optional<QByteArray>> before;
    for (const Key& k : Keys)
        before.push_back(profile.value(k.section, k.key));
    profile.setValue(target.section, target.key, written);
    const ProfileFile after = ProfileFile::fromBytes(profile.toBytes());
    for (size_t i = 0; i < std::size(Keys); ++i) {
        const Key& k = Keys[i];
        if (&k == &target)
            FUZZ_CHECK(after.value(k.section, k.key) == expectedRead(written));
        else if (!ProfileFile::namesEqual(k.section, target.section) ||
                 !ProfileFile::namesEqual(k.key, target.key))
            FUZZ_CHECK(after.value(k.section, k.key) == before[i]);
    }

    // Typed values read back as written.
    const int number = int(size * 2654435761u);
    profile.writeInteger("window", "Top", number);
    profile.writeReal("SalesTax", "Sales_Tax", double(number) / 1000.0);
    profile.writeColor("View", "Line_color", colornames::ColorValue(number));
    const ProfileFile typed = ProfileFile::fromBytes(profile.toBytes());
    FUZZ_CHECK(typed.readInteger("window", "Top", ~number) == number);
    FUZZ_CHECK(typed.readColor("View", "Line_color", ~colornames::ColorValue(number)) ==
               colornames::ColorValue(number));
    const double real = typed.readReal("SalesTax", "Sales_Tax", -1.0);
    FUZZ_CHECK(std::abs(real - double(number) / 1000.0) <= 1e-14 * std::abs(double(number)));
    return {};
}

} // namespace fuzzsupport
