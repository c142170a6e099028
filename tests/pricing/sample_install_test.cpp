// The sample installation is what every other test stands on: its folders,
// its CP932 settings file and its databases must be as promised.

#include <gtest/gtest.h>

#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "db/connection.h"
#include "db/recordset.h"
#include "tools/sample/sample_install.h"

namespace tanka {
namespace {

using sample::Options;
using sample::Product;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every row of one query through the database layer, one line per row.
QString dump(const sample::SampleInstall& s, const QString& sql) {
    s.applyEnvironment();
    Connection cn;
    cn.setConnectionString(QStringLiteral("Provider=SQLOLEDB;server=") + s.server +
                           QStringLiteral(";uid=ORBE-TLX-MEMBER;pwd=QDR615;database=MSKYAK"));
    cn.open();
    Recordset rs;
    rs.open(sql, cn);
    QString text;
    while (!rs.isEOF())
        text += rs.getString(QStringLiteral("\t"), QStringLiteral("\n"), QStringLiteral("#NULL#"));
    rs.close();
    return text;
}

// 渋谷店 and 本部 in code page 932.
constexpr const char* kShibuya = "\x8f\x61\x92\x4a\x93\x58";
constexpr const char* kHonbu = "\x96\x7b\x95\x94";

TEST(SampleInstall, FoldersSettingsFileAndDatabases) {
    struct Case {
        Product product;
        bool headquarters;
        const char* install;
        const char* program;
        const char* ini;
        const char* ownName; // CP932 bytes of the own store name in the settings file
    };
    const Case cases[] = {
        {Product::ZEMA, false, "ZEMA", "ZEWIN", "ZEMA.ini", kShibuya},
        {Product::ZEMA, true, "ZEMAH", "ZEWIN", "ZEMA.ini", kHonbu},
        {Product::KOTA, false, "KOTA", "KOWin", "KOTA.ini", kShibuya},
        {Product::KOTA, true, "KOTAH", "KOWin", "KOTA.ini", kHonbu},
        {Product::MIRO, false, "MIRO", "KOWIN", "MIRO.ini", kShibuya},
        {Product::MIRO, true, "MIROH", "KOWIN", "MIRO.ini", kHonbu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.install);
        QTemporaryDir dir;
        Options o;
        o.product = c.product;
        o.headquarters = c.headquarters;
        o.stores = 3;
        o.gijuRows = 7;
        o.tenRows = 5;
        const auto s = sample::writeSampleInstall(dir.path(), o);

        const QString driveC = dir.path() + QStringLiteral("/C/");
        EXPECT_EQ(s.driveC + QLatin1Char('/'), driveC);
        EXPECT_EQ(s.installDir, driveC + QLatin1String(c.install));
        EXPECT_EQ(s.workDir, s.installDir + QStringLiteral("/TMP"));
        EXPECT_EQ(s.sqliteDir, s.installDir + QStringLiteral("/DATA"));
        EXPECT_EQ(s.iniFile,
                  driveC + QLatin1String(c.program) + QLatin1Char('/') + QLatin1String(c.ini));
        EXPECT_TRUE(QFileInfo(s.workDir).isDir());
        EXPECT_EQ(s.miseId, 1);
        for (const char* db : {"MSKYAK", "MSTORI", "MSLOCL", "MSJSHO", "MSURIA"})
            EXPECT_TRUE(QFileInfo::exists(s.serverDir + QLatin1Char('/') + QLatin1String(db) +
                                          QStringLiteral(".sqlite")))
                << db;
        EXPECT_EQ(QFileInfo::exists(s.serverDir + QStringLiteral("/MSHONB.sqlite")),
                  c.headquarters);

        // CP932 bytes, CR LF line ends only, the keys of the LUMINA section.
        const QByteArray bytes = readAll(s.iniFile);
        EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
        EXPECT_TRUE(bytes.contains(QByteArray("MiseName=") + c.ownName + "\r\n"));
        QStringDecoder decode("CP932");
        const QString text = decode(bytes);
        EXPECT_FALSE(decode.hasError());
        const QString lumina = text.section(QStringLiteral("[LUMINA]"), 1).section('[', 0, 0);
        for (const char* line : {"MsTori=SV01", "MSJsho=SV01", "MsKyak=SV01", "MsUria=SV01",
                                 "MsLocl=SV01", "MsHonb=SV01", "MiseID=1"})
            EXPECT_TRUE(lumina.contains(QStringLiteral("\r\n") + QLatin1String(line) +
                                        QStringLiteral("\r\n")))
                << line;

        EXPECT_EQ(dump(s, QStringLiteral("select count(*) from MSTORI.dbo.MTGIJU")), "21\n");
        EXPECT_EQ(dump(s, QStringLiteral("select count(*) from MSTORI.dbo.MTTENP")), "15\n");
        EXPECT_EQ(dump(s, QStringLiteral("select MiseID from MSTORI.dbo.MTMISE")), "1\n2\n3\n");
        EXPECT_EQ(dump(s, QStringLiteral("select MiseID from MSLOCL.dbo.MlMsno")), "1\n");
    }
}

TEST(SampleInstall, OptionsShapeTheSettingsAndStoreRows) {
    QTemporaryDir dir;
    Options o;
    o.storeIds = {5, 8, 13};
    o.miseId = 8;
    o.ownStoreRow = false;
    o.localMiseId = 21;
    o.iniMiseId = QStringLiteral(" 12 ");
    o.omitIniKeys = {QStringLiteral("MSHONB"), QStringLiteral("msuria")};
    o.gijuSwFlg = std::nullopt;
    o.tenSwFlg = 2;
    const auto s = sample::writeSampleInstall(dir.path(), o);

    const QString text = QStringDecoder("CP932")(readAll(s.iniFile));
    EXPECT_FALSE(text.contains(QStringLiteral("MsHonb=")));
    EXPECT_FALSE(text.contains(QStringLiteral("MsUria=")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\nMiseID= 12 \r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("MiseName=新宿店")));
    EXPECT_EQ(dump(s, QStringLiteral("select MiseID, GijutuTankaSwFlg, TenpanTankaSwFlg from "
                                     "MSTORI.dbo.MTMISE order by MiseID")),
              "5\t#NULL#\t2\n13\t#NULL#\t2\n");
    EXPECT_EQ(dump(s, QStringLiteral("select MiseID from MSLOCL.dbo.MlMsno")), "21\n");
    EXPECT_EQ(dump(s, QStringLiteral("select distinct MiseID from MSTORI.dbo.MTGIJU "
                                     "order by MiseID")),
              "5\n8\n13\n");
}

TEST(SampleInstall, SameSeedSameDataAndRewritable) {
    QTemporaryDir dir;
    Options o;
    o.gijuSlots = sample::Slots::Mixed;
    const QString query = QStringLiteral("select * from MSTORI.dbo.MTGIJU");
    const QString first = dump(sample::writeSampleInstall(dir.path(), o), query);
    const QString again = dump(sample::writeSampleInstall(dir.path(), o), query);
    EXPECT_EQ(first, again);
    o.seed = 2;
    EXPECT_NE(dump(sample::writeSampleInstall(dir.path(), o), query), first);
}

} // namespace
} // namespace tanka
