// Every input the fuzz targets ever failed on is kept under fixtures/regressions,
// named <target>-<what>.<ext>, and replayed here through the same property.
#include "../../fuzz/BinaryDatapacketProperty.h"
#include "../../fuzz/Cp932TextProperty.h"
#include "../../fuzz/LockFileProperty.h"
#include "../../fuzz/SettingsFileProperty.h"
#include "../../fuzz/TableCsvProperty.h"
#include "../../fuzz/XmlDatapacketProperty.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using Property = std::function<std::string(const uint8_t*, size_t)>;

const std::map<QString, Property>& properties() {
    static const std::map<QString, Property> all = {
        {QStringLiteral("datapacket_binary"), fuzzsupport::checkBinaryDatapacket},
        {QStringLiteral("datapacket_xml"), fuzzsupport::checkXmlDatapacket},
        {QStringLiteral("settings_file"), fuzzsupport::checkSettingsFile},
        {QStringLiteral("table_csv"), fuzzsupport::checkTableCsv},
        {QStringLiteral("cp932_text"), fuzzsupport::checkCp932Text},
        {QStringLiteral("lock_file"), fuzzsupport::checkLockFile},
    };
    return all;
}

TEST(RegressionReplay, EveryKeptInputHoldsItsProperty) {
    const QDir dir(QStringLiteral(LEDORA_FIXTURES_DIR "/regressions"));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << "no regression inputs in " << qPrintable(dir.path());
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const auto property = properties().find(name.section(QLatin1Char('-'), 0, 0));
        ASSERT_NE(property, properties().end()) << "the name does not start with a fuzz target";
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(property->second(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   size_t(bytes.size())),
                  "");
    }
}

} // namespace
