#include "platform/ProfileFile.h"

#include "platform/Cp932.h"
#include "platform/ProfileValue.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// ASCII case folding that leaves both bytes of a double-byte character alone, so a
// trail byte that looks like a letter never matches its other case.
bool equalsFolded(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size();) {
        if (cp932::charLength(a, i) == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) {
                return false;
            }
            i += 2;
            continue;
        }
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
        ++i;
    }
    return true;
}

// Position of a single-byte character, never a trail byte; -1 when absent.
qsizetype findByte(const QByteArray& text, char wanted) {
    for (qsizetype i = 0; i < text.size(); i += cp932::charLength(text, i)) {
        if (text[i] == wanted) {
            return i;
        }
    }
    return -1;
}

// The name of a "[name]" line, or nullopt for any other line.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = trimBlanks(line);
    if (!t.startsWith('[')) {
        return std::nullopt;
    }
    const QByteArray inner = t.mid(1);
    const qsizetype close = findByte(inner, ']');
    return trimBlanks(close < 0 ? inner : inner.left(close));
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

// A value that would lose blanks or quotes on reading is written inside double
// quotes, which the reading removes again; line breaks would end the line.
QByteArray encodeValue(QByteArray value) {
    value.replace('\r', ' ').replace('\n', ' ');
    const bool loses =
        trimBlanks(value).size() != value.size() ||
        (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front());
    return loses ? '"' + value + '"' : value;
}

} // namespace

QList<QByteArray> ProfileFile::splitLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        lines.append(bytes.mid(start, end - start));
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

bool ProfileFile::namesEqual(const QByteArray& a, const QByteArray& b) {
    return equalsFolded(a, b);
}

ProfileFile ProfileFile::fromBytes(const QByteArray& bytes) {
    ProfileFile profile;
    profile.lines_ = splitLines(bytes);
    return profile;
}

bool ProfileFile::load(const QString& path) {
    lines_.clear();
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    // Every line costs far more in memory than in the file; a settings file is a few
    // hundred bytes, so one beyond maxFileBytes is damaged and not read (nor rewritten).
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileBytes) {
        return false;
    }
    *this = fromBytes(file.readAll());
    return true;
}

bool ProfileFile::save(const QString& path) const {
    // Renaming over the target would ignore a file the user made read-only; the
    // owner's write bit counts even for an administrator, as a read-only mark does.
    const QFileInfo info(path);
    if (info.exists() && (!info.isWritable() || !(info.permissions() & QFile::WriteOwner))) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray ProfileFile::toBytes() const {
    QByteArray out;
    for (const QByteArray& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<ProfileFile::Section> ProfileFile::findSection(const QByteArray& name) const {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const auto found = sectionName(lines_[i]);
        if (!found || !equalsFolded(*found, name)) {
            continue;
        }
        Section section{i, i + 1};
        while (section.end < lines_.size() && !sectionName(lines_[section.end])) {
            ++section.end;
        }
        return section;
    }
    return std::nullopt;
}

qsizetype ProfileFile::findKey(const Section& section, const QByteArray& key) const {
    for (qsizetype i = section.header + 1; i < section.end; ++i) {
        const qsizetype eq = findByte(lines_[i], '=');
        if (eq >= 0 && equalsFolded(trimBlanks(lines_[i].left(eq)), key)) {
            return i;
        }
    }
    return -1;
}

std::optional<QByteArray> ProfileFile::value(const QByteArray& section,
                                             const QByteArray& key) const {
    const auto found = findSection(section);
    if (!found) {
        return std::nullopt;
    }
    const qsizetype line = findKey(*found, key);
    if (line < 0) {
        return std::nullopt;
    }
    const QByteArray& text = lines_[line];
    QByteArray result = trimBlanks(text.mid(findByte(text, '=') + 1));
    if (result.size() >= 2 && isQuote(result.front()) && result.back() == result.front()) {
        result = result.mid(1, result.size() - 2);
    }
    return cp932::cutToWidth(result, maxValueBytes);
}

void ProfileFile::setValue(const QByteArray& section, const QByteArray& key,
                           const QByteArray& value) {
    const QByteArray encoded = encodeValue(value);
    const auto found = findSection(section);
    if (!found) {
        if (!lines_.isEmpty() && !trimBlanks(lines_.back()).isEmpty()) {
            lines_.append(QByteArray());
        }
        lines_.append('[' + section + ']');
        lines_.append(key + '=' + encoded);
        return;
    }
    const qsizetype line = findKey(*found, key);
    if (line >= 0) {
        // Keep the key as spelled in the file; only the value changes.
        const QByteArray& old = lines_[line];
        lines_[line] = trimBlanks(old.left(findByte(old, '='))) + '=' + encoded;
        return;
    }
    // After the section's last non-blank line, so the blank line before the next
    // section stays where it is.
    qsizetype insertAt = found->end;
    while (insertAt > found->header + 1 && trimBlanks(lines_[insertAt - 1]).isEmpty()) {
        --insertAt;
    }
    lines_.insert(insertAt, key + '=' + encoded);
}

QByteArray ProfileFile::readString(const QByteArray& section, const QByteArray& key,
                                   const QByteArray& defaultValue) const {
    return value(section, key).value_or(defaultValue);
}

QString ProfileFile::readText(const QByteArray& section, const QByteArray& key,
                              const QString& defaultValue) const {
    const auto found = value(section, key);
    return found ? cp932::decode(*found) : defaultValue;
}

void ProfileFile::writeText(const QByteArray& section, const QByteArray& key,
                            const QString& value) {
    setValue(section, key, cp932::encode(value));
}

int ProfileFile::readInteger(const QByteArray& section, const QByteArray& key,
                             int defaultValue) const {
    const auto found = value(section, key);
    if (!found) {
        return defaultValue;
    }
    return profilevalue::readInteger(*found).value_or(defaultValue);
}

void ProfileFile::writeInteger(const QByteArray& section, const QByteArray& key, int value) {
    setValue(section, key, profilevalue::writeInteger(value));
}

bool ProfileFile::readBool(const QByteArray& section, const QByteArray& key,
                           bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::writeBool(const QByteArray& section, const QByteArray& key, bool value) {
    setValue(section, key, value ? "1" : "0");
}

double ProfileFile::readReal(const QByteArray& section, const QByteArray& key,
                             double defaultValue) const {
    const auto found = value(section, key);
    if (!found) {
        return defaultValue;
    }
    return profilevalue::readReal(*found).value_or(defaultValue);
}

void ProfileFile::writeReal(const QByteArray& section, const QByteArray& key, double value) {
    setValue(section, key, profilevalue::writeReal(value));
}

colornames::ColorValue ProfileFile::readColor(const QByteArray& section, const QByteArray& key,
                                              colornames::ColorValue defaultValue) const {
    const auto found = value(section, key);
    if (!found) {
        return defaultValue;
    }
    return colornames::colorFromText(*found).value_or(defaultValue);
}

void ProfileFile::writeColor(const QByteArray& section, const QByteArray& key,
                             colornames::ColorValue value) {
    setValue(section, key, colornames::colorToText(value));
}
