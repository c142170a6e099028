// The work directory and the backup files: exact bytes on disk (CP932, TAB,
// CR LF, "#NULL#", key order, no quoting), an existing backup left alone, and
// failed writes that leave no file behind.

#include <csignal>
#include <iterator>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include "db/recordset.h"
#include "engine_fixture.h"
#include "pricing/backup.h"

namespace tanka::test {
namespace {

// Test cases print as their names.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const QByteArray Cut = "\x83\x4a\x83\x62\x83\x67";                         // カット
const QByteArray HeadSpa = "\x83\x77\x83\x62\x83\x68\x09\x83\x58\x83\x70"; // ヘッド<TAB>スパ
const QByteArray Shampoo = "\x83\x56\x83\x83\x83\x93\x83\x76\x81\x5b";     // シャンプー

const QByteArray GijuHeader =
    "GlobalID\tMiseID\tGijutuID\tShumokuID\tGijutuName\tTaxFlg\tTankaA1\tTankaA2\tTankaA3\t"
    "TankaA4\tTankaA5\tTankaB1\tTankaB2\tTankaB3\tTankaB4\tTankaB5\tSaisyuKosinFlg\t"
    "SaisyuKosinDate\r\n";
const QByteArray TenHeader = "GlobalID\tMiseID\tTenpanFlg\tTenpanID\tTenpanName\tTaxFlg\t"
                             "UriTankaA\tUriTankaB\tSaisyuKosinFlg\tSaisyuKosinDate\r\n";

TEST(Backup, WritesEveryRowInKeyOrderAsCp932) {
    EngineFixture fx(storeOptions(2, 1));
    GijuRow deleted; // inserted first, sorts last: store 2, deleted, Null date
    deleted.miseId = 2;
    deleted.taxFlg = {};
    deleted.name = QStringLiteral("");
    deleted.a = {540, 0, {}, 0, 0};
    deleted.b = {1, 2, 3, 4, 5};
    deleted.kosinFlg = 9;
    deleted.kosinDate = {};
    GijuRow second;
    second.gijutuId = 2;
    second.name = QStringLiteral("ヘッド\tスパ");
    second.a = {-500, 0, 0, 0, 0};
    GijuRow first;
    first.a = {1080, {}, 0, 0, 0};
    first.kosinDate = QStringLiteral("2019-09-30 15:10:00");
    fx.setGiju({deleted, second, first});
    fx.setTen({});

    ScriptedBoxes boxes;
    const QString tmp = QStringLiteral("C:\\ZEMA\\TMP");
    ASSERT_TRUE(Backup_MTGIJU(fx.cn(), tmp, fx.drive(), boxes));
    ASSERT_TRUE(Backup_MTTENP(fx.cn(), tmp, fx.drive(), boxes));
    EXPECT_TRUE(boxes.shown.empty());

    const QByteArray expected =
        GijuHeader + "1\t1\t1\t1\t" + Cut +
        "\t1\t1080\t#NULL#\t0\t0\t0\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t0\t"
        "2019/09/30 15:10:00\r\n" +
        "1\t1\t2\t1\t" + HeadSpa +
        "\t1\t-500\t0\t0\t0\t0\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t0\t"
        "2018/04/01 00:00:00\r\n" +
        "1\t2\t1\t1\t\t#NULL#\t540\t0\t#NULL#\t0\t0\t1\t2\t3\t4\t5\t9\t#NULL#\r\n";
    EXPECT_EQ(fx.readFile(fx.backupPath("MTGIJU10%.CSV")), expected);
    EXPECT_EQ(fx.readFile(fx.backupPath("MTTENP10%.CSV")), TenHeader) << "header only";
    EXPECT_EQ(filesIn(fx.install().workDir), (QStringList{"MTGIJU10%.CSV", "MTTENP10%.CSV"}));
}

TEST(Backup, RetailRowsAsCp932) {
    EngineFixture fx(storeOptions());
    TenRow row;
    row.a = 540;
    row.b = {};
    row.name = QStringLiteral("シャンプー");
    fx.setTen({row});
    ScriptedBoxes boxes;
    ASSERT_TRUE(Backup_MTTENP(fx.cn(), QStringLiteral("C:\\ZEMA\\TMP"), fx.drive(), boxes));
    EXPECT_EQ(fx.readFile(fx.backupPath("MTTENP10%.CSV")),
              TenHeader + "1\t1\t1\t1\t" + Shampoo +
                  "\t1\t540\t#NULL#\t0\t2018/04/01 00:00:00\r\n");
}

// Every name comes out as the code page 932 converter makes it of the whole
// text: runs of ASCII and other characters alike, the control characters the
// code page exchanges, characters it cannot show, over many write blocks.
TEST(Backup, NamesComeOutAsTheConverterMakesThem) {
    const QString names[] = {
        QStringLiteral("plain"),
        QStringLiteral("A\u001aB\u001cC\u007f"),
        QStringLiteral("カ\u001aット Cut"),
        QStringLiteral("\u00a5\u203e\uff3c\uff5e~\\"),
        QStringLiteral("\U00020BB7野家"),
        QStringLiteral("ﾊﾝｶｸ half"),
        QString(),
    };
    constexpr int Rows = 3000; // well over one write block
    EngineFixture fx(storeOptions());
    std::vector<GijuRow> rows;
    for (int i = 0; i < Rows; ++i) {
        GijuRow row;
        row.gijutuId = i + 1;
        row.name = names[i % std::size(names)] + QString::number(i);
        rows.push_back(row);
    }
    fx.setGiju(rows);
    ScriptedBoxes boxes;
    ASSERT_TRUE(Backup_MTGIJU(fx.cn(), QStringLiteral("C:\\ZEMA\\TMP"), fx.drive(), boxes));

    const QList<QByteArray> lines = fx.readFile(fx.backupPath("MTGIJU10%.CSV")).split('\n');
    ASSERT_EQ(lines.size(), Rows + 2); // header, rows, nothing after the last CR LF
    QStringEncoder cp932("CP932");
    for (int i = 0; i < Rows; ++i) {
        const QList<QByteArray> fields = lines[i + 1].split('\t');
        ASSERT_EQ(fields.size(), 18) << i;
        EXPECT_EQ(fields[4], QByteArray(cp932.encode(rows[static_cast<std::size_t>(i)].name))) << i;
    }
}

TEST(Backup, ExistingFileIsNeverReplaced) {
    for (const QByteArray& old : {QByteArray(), QByteArray("from another store\r\n")}) {
        EngineFixture fx(storeOptions());
        QFile f(fx.backupPath("MTGIJU10%.CSV"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
        f.close();
        ScriptedBoxes boxes;
        EXPECT_TRUE(Backup_MTGIJU(fx.cn(), QStringLiteral("C:\\ZEMA\\TMP"), fx.drive(), boxes));
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(fx.readFile(fx.backupPath("MTGIJU10%.CSV")), old);
        EXPECT_EQ(filesIn(fx.install().workDir), QStringList{"MTGIJU10%.CSV"});
    }
}

// Ways a backup write can fail; each must show the message and leave no file
// (neither the backup nor a temporary one) that would block a later backup.
enum class Failure { UnwritableDir, NameTakenByFolder, DiskFullMidway };

struct FailureCase {
    const char* name;
    Failure failure;
};

class BackupFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(BackupFailure, ShowsTheMessageAndLeavesNoFile) {
    sample::Options o = storeOptions();
    o.gijuRows = 200; // a file of well over 8 KB
    EngineFixture fx(o);
    const QString work = fx.install().workDir;
    std::unique_ptr<UnwritableDir> locked;
    rlimit saved{};
    switch (GetParam().failure) {
    case Failure::UnwritableDir:
        locked = std::make_unique<UnwritableDir>(work);
        if (!locked->ok())
            GTEST_SKIP() << "cannot make a folder unwritable here";
        break;
    case Failure::NameTakenByFolder:
        ASSERT_TRUE(QDir(work).mkdir("MTGIJU10%.CSV"));
        break;
    case Failure::DiskFullMidway:
        fx.cn(); // open before the limit: the database files stay untouched
        getrlimit(RLIMIT_FSIZE, &saved);
        break;
    }

    ScriptedBoxes boxes;
    bool result = true;
    if (GetParam().failure == Failure::DiskFullMidway) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        result = Backup_MTGIJU(fx.cn(), QStringLiteral("C:\\ZEMA\\TMP"), fx.drive(), boxes);
        setrlimit(RLIMIT_FSIZE, &saved);
    } else {
        result = Backup_MTGIJU(fx.cn(), QStringLiteral("C:\\ZEMA\\TMP"), fx.drive(), boxes);
    }
    locked.reset();

    EXPECT_FALSE(result);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("MTGIJU10%.CSVの作成に失敗しました"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(filesIn(work), QStringList{});

    // Once the cause is gone, the next backup is written in full.
    if (GetParam().failure == Failure::NameTakenByFolder) {
        ASSERT_TRUE(QDir(work).rmdir("MTGIJU10%.CSV"));
    }
    boxes.shown.clear();
    EXPECT_TRUE(Backup_MTGIJU(fx.cn(), QStringLiteral("C:\\ZEMA\\TMP"), fx.drive(), boxes));
    EXPECT_TRUE(fx.readFile(fx.backupPath("MTGIJU10%.CSV")).startsWith(GijuHeader));
    EXPECT_EQ(fx.readFile(fx.backupPath("MTGIJU10%.CSV")).count("\r\n"),
              fx.dump("MTGIJU").size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Writes, BackupFailure,
                         ::testing::Values(FailureCase{"UnwritableDir", Failure::UnwritableDir},
                                           FailureCase{"NameTakenByFolder",
                                                       Failure::NameTakenByFolder},
                                           FailureCase{"DiskFullMidway", Failure::DiskFullMidway}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WriteRsFile, ConsumesTheRecordset) {
    EngineFixture fx(storeOptions());
    Recordset rs;
    rs.open(backupQuery(Menu::Ten), fx.cn(), CursorType::Static, LockType::ReadOnly);
    ASSERT_TRUE(Write_RsFile(fx.backupPath("x.txt"), rs));
    EXPECT_TRUE(rs.isEOF());
    EXPECT_EQ(fx.readFile(fx.backupPath("x.txt")).count("\r\n"), fx.dump("MTTENP").size() + 1);
}

struct TmpDirCase {
    const char* name;
    sample::Product product;
    bool honbu;
    bool removeOwnTmp;
    QStringList extraDirs; // created under drive C
    QString expected;
};

const TmpDirCase tmpDirCases[] = {
    {"StoreOwnFolder", sample::Product::ZEMA, false, false, {}, "C:\\ZEMA\\TMP"},
    {"HonbuOwnFolder", sample::Product::ZEMA, true, false, {"ZEMA/TMP"}, "C:\\ZEMAH\\TMP"},
    {"HonbuWithoutTmpFindsStoreFolder",
     sample::Product::ZEMA,
     true,
     true,
     {"ZEMA/TMP"},
     "C:\\ZEMA\\TMP"},
    {"DataFileWordBeatsOrder", sample::Product::KOTA, false, false, {"ZEMAH/TMP"}, "C:\\KOTA\\TMP"},
    {"FirstExistingCandidate",
     sample::Product::KOTA,
     false,
     true,
     {"MIRO/TMP", "ZEMA/TMP"},
     "C:\\ZEMA\\TMP"},
    {"NoneFound", sample::Product::MIRO, false, true, {}, ""},
};

class TmpDir : public ::testing::TestWithParam<TmpDirCase> {};

TEST_P(TmpDir, FollowsTheDataFileThenTheCandidateOrder) {
    const TmpDirCase& c = GetParam();
    sample::Options o = c.honbu ? headquartersOptions(1) : storeOptions();
    o.product = c.product;
    EngineFixture fx(o);
    if (c.removeOwnTmp) {
        ASSERT_TRUE(QDir(fx.install().workDir).removeRecursively());
    }
    for (const QString& d : c.extraDirs)
        ASSERT_TRUE(QDir(fx.install().driveC).mkpath(d));
    EXPECT_EQ(Get_TmpDir(fx.cn(), fx.drive()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Installs, TmpDir, ::testing::ValuesIn(tmpDirCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tanka::test
