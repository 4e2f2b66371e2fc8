// Converts data files between the two datapacket forms and shows their content.
//   ledora-datapacket to-xml IN OUT
//   ledora-datapacket to-binary IN OUT
//   ledora-datapacket dump IN
#include "platform/Cp932.h"
#include "records/Datapacket.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <string_view>

namespace {

const char kUsage[] = "usage: ledora-datapacket to-xml IN OUT | to-binary IN OUT | dump IN";
const char kHelp[] = "\n"
                     "Converts a Ledora data file between its two forms, or shows what it holds.\n"
                     "\n"
                     "  to-xml IN OUT     write the records of IN to OUT in the XML form\n"
                     "  to-binary IN OUT  write the records of IN to OUT in the binary form\n"
                     "  dump IN           list the fields, properties and every row of IN\n"
                     "  --help            show this text and exit\n"
                     "  --version         show the version and exit\n";

int fail(const QString& message) {
    std::fprintf(stderr, "ledora-datapacket: %s\n", message.toUtf8().constData());
    return 1;
}

bool readTable(const QString& path, PacketTable& table, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    PacketResult result = datapacket::read(file);
    if (!result.ok()) {
        error = path + QStringLiteral(": ") + result.error;
        return false;
    }
    table = std::move(result.table);
    return true;
}

const char* typeName(const FieldDef& f) {
    switch (f.type) {
    case FieldType::String:
        return "string";
    case FieldType::I2:
        return "i2";
    case FieldType::I4:
        return "i4";
    case FieldType::Boolean:
        return "boolean";
    case FieldType::R8:
        return "r8";
    case FieldType::Date:
        return "date";
    case FieldType::Time:
        return "time";
    case FieldType::DateTime:
        return "dateTime";
    case FieldType::Memo:
        return "memo";
    case FieldType::Blob:
        return "blob";
    }
    return "?";
}

QString valueText(const FieldDef& f, const Value& v) {
    if (v.isNull())
        return QStringLiteral("(null)");
    switch (f.type) {
    case FieldType::String:
    case FieldType::Memo: {
        QString t = cp932::decode(v.toBytes());
        t.replace(QLatin1Char('\r'), QLatin1String("\\r"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
        return QLatin1Char('"') + t + QLatin1Char('"');
    }
    case FieldType::Blob:
        return QStringLiteral("(%1 bytes)").arg(v.toBytes().size());
    case FieldType::R8:
        return QString::fromLatin1(datapacket::realText(v.toReal()));
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        // The XML form's text is the readable one.
        PacketTable one;
        one.fields.append(f);
        one.rows.push_back(Row{v});
        const QByteArray xml = datapacket::writeXml(one);
        const qsizetype at = xml.indexOf("<ROW ");
        const qsizetype open = xml.indexOf('"', at);
        return QString::fromLatin1(xml.mid(open + 1, xml.indexOf('"', open + 1) - open - 1));
    }
    default:
        return QString::number(v.toInt());
    }
}

void dump(const PacketTable& t) {
    QByteArray out;
    out += "fields: " + QByteArray::number(t.fields.size()) + "\n";
    for (const FieldDef& f : t.fields) {
        out += "  " + cp932::decode(f.name).toUtf8() + " " + typeName(f);
        if (f.width)
            out += " width=" + QByteArray::number(f.width);
        if (f.attrs)
            out += " attrs=" + QByteArray::number(f.attrs);
        for (const Property& p : f.props)
            out += " " + p.name + "=" + cp932::decode(p.text()).toUtf8();
        out += "\n";
    }
    out += "properties:";
    for (const Property& p : t.params)
        out += " " + p.name + "=\"" + cp932::decode(p.text()).toUtf8() + "\"";
    out += "\nrows: " + QByteArray::number(qsizetype(t.rows.size())) + "\n";
    for (size_t r = 0; r < t.rows.size(); ++r) {
        out += "row " + QByteArray::number(qsizetype(r + 1)) + "\n";
        for (qsizetype c = 0; c < t.fields.size(); ++c)
            out += "  " + cp932::decode(t.fields[c].name).toUtf8() + ": " +
                   valueText(t.fields[c], t.rows[r][size_t(c)]).toUtf8() + "\n";
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == "--help") {
        std::printf("%s\n%s", kUsage, kHelp);
        return 0;
    }
    if (argc >= 2 && std::string_view(argv[1]) == "--version") {
        std::puts("ledora-datapacket " LEDORA_VERSION_TEXT);
        return 0;
    }
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString usage = QString::fromLatin1(kUsage);
    if (args.size() < 3)
        return fail(usage);
    const QString command = args[1];
    PacketTable table;
    QString error;
    if (command == QLatin1String("dump") && args.size() == 3) {
        if (!readTable(args[2], table, error))
            return fail(error);
        dump(table);
        return 0;
    }
    if ((command == QLatin1String("to-xml") || command == QLatin1String("to-binary")) &&
        args.size() == 4) {
        if (!readTable(args[2], table, error))
            return fail(error);
        const QByteArray bytes = command == QLatin1String("to-xml")
                                     ? datapacket::writeXml(table)
                                     : datapacket::writeBinary(table);
        QSaveFile file(args[3]);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return fail(args[3] + QStringLiteral(": ") + file.errorString());
        return 0;
    }
    return fail(usage);
}
