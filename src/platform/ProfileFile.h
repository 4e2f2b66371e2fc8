#pragma once
// A profile (INI) file with the classic profile-function behaviour: sections and
// keys found without regard to ASCII letter case, an existing value replaced in
// place, a new key appended at the end of its section, a new section at the end
// of the file. The file is CP932 bytes; everything else in it is kept as it was.
#include "platform/ColorNames.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class ProfileFile {
public:
    // Longest value a read returns, in bytes.
    static constexpr qsizetype maxValueBytes = 2047;
    // Largest file load reads.
    static constexpr qint64 maxFileBytes = qint64(16) << 20;

    ProfileFile() = default;
    static ProfileFile fromBytes(const QByteArray& bytes);

    // Lines ended by CR LF, LF or CR, without their ends.
    static QList<QByteArray> splitLines(const QByteArray& bytes);

    // Name comparison of sections and keys: ASCII letters without regard to case,
    // double-byte characters exactly.
    static bool namesEqual(const QByteArray& a, const QByteArray& b);

    // A missing file loads as an empty profile; false only when an existing
    // file cannot be read or exceeds maxFileBytes (the profile is then empty).
    bool load(const QString& path);

    // Writes the whole file through a temporary file renamed over the target, so
    // a crash never leaves a half-written file. False when it cannot be written;
    // the old file is then untouched.
    bool save(const QString& path) const;

    QByteArray toBytes() const;

    // The value as stored: surrounding blanks and one pair of matching quotes
    // removed, cut to maxValueBytes without splitting a character.
    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    void setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);

    QByteArray readString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& defaultValue) const;
    void writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
        setValue(section, key, value);
    }

    // Text kept as CP932 bytes in the file, QString on this side.
    QString readText(const QByteArray& section, const QByteArray& key,
                     const QString& defaultValue) const;
    void writeText(const QByteArray& section, const QByteArray& key, const QString& value);

    int readInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const;
    void writeInteger(const QByteArray& section, const QByteArray& key, int value);

    bool readBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const;
    void writeBool(const QByteArray& section, const QByteArray& key, bool value);

    double readReal(const QByteArray& section, const QByteArray& key, double defaultValue) const;
    void writeReal(const QByteArray& section, const QByteArray& key, double value);

    colornames::ColorValue readColor(const QByteArray& section, const QByteArray& key,
                                     colornames::ColorValue defaultValue) const;
    void writeColor(const QByteArray& section, const QByteArray& key, colornames::ColorValue value);

private:
    struct Section {
        qsizetype header = -1; // line of "[name]"
        qsizetype end = -1;    // first line after the section
    };
    std::optional<Section> findSection(const QByteArray& name) const;
    qsizetype findKey(const Section& section, const QByteArray& key) const;

    QList<QByteArray> lines_; // without line ends
};
