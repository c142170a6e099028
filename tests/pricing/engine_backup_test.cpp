// The work directory and the backup files: exact bytes on disk (CP932, TAB,
// CR LF, "#NULL#", key order, no quoting, header only for an empty table) and
// failed writes that leave no file behind.

#include <csignal>
#include <iterator>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include "core/code_page_932.h"
#include <QDir>
#include <QFile>

#include "engine_fixture.h"
#include "pricing/backup.h"
#include "pricing/execute.h"

namespace tanka::test {
namespace {

const QString Tmp = QStringLiteral("C:\\ZEMA\\TMP");
const QByteArray GijuHeader =
    "GlobalID\tMiseID\tGijutuID\tShumokuID\tGijutuName\tTaxFlg\tTankaA1\tTankaA2\tTankaA3\t"
    "TankaA4\tTankaA5\tTankaB1\tTankaB2\tTankaB3\tTankaB4\tTankaB5\tSaisyuKosinFlg\t"
    "SaisyuKosinDate\r\n";
const QByteArray TenHeader = "GlobalID\tMiseID\tTenpanFlg\tTenpanID\tTenpanName\tTaxFlg\t"
                             "UriTankaA\tUriTankaB\tSaisyuKosinFlg\tSaisyuKosinDate\r\n";

TEST(Backup, ARunWritesEveryRowAsBeforeInKeyOrderAsCp932) {
    EngineFixture fx(storeOptions(2, 1));
    fx.setTechnicalRows({
        // Inserted first, sorts last: store 2, deleted, Null tax flag and date, no name.
        {.storeId = 2,
         .taxFlg = {},
         .a = {540, 0, {}, 0, 0},
         .b = {1, 2, 3, 4, 5},
         .lastUpdateFlag = 9,
         .lastUpdateDate = {},
         .name = QStringLiteral("")},
        {.gijutuId = 2, .a = {-500, 0, 0, 0, 0}, .name = QStringLiteral("ヘッド\tスパ")},
        {.a = {1080, {}, 0, 0, 0}, .lastUpdateDate = QStringLiteral("2019-09-30 15:10:00")},
    });
    fx.setRetailRows({{.a = 540}});

    // Taken by a whole run: the backups hold the tables as they were before it.
    ScriptedBoxes boxes;
    ASSERT_EQ(executeRun(fx.cn(), fx.g(), boxes, fx.drive(), fx.clock(), {}), RunResult::Finished)
        << boxes.texts().join(u'|').toStdString();

    const QByteArray cut = "\x83\x4a\x83\x62\x83\x67";                         // カット
    const QByteArray headSpa = "\x83\x77\x83\x62\x83\x68\x09\x83\x58\x83\x70"; // ヘッド<TAB>スパ
    const QByteArray shampoo = "\x83\x56\x83\x83\x83\x93\x83\x76\x81\x5b";     // シャンプー
    EXPECT_EQ(fx.readFile(fx.backupPath("MTGIJU10%.CSV")),
              GijuHeader + "1\t1\t1\t1\t" + cut +
                  "\t1\t1080\t#NULL#\t0\t0\t0\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t0\t"
                  "2019/09/30 15:10:00\r\n1\t1\t2\t1\t" +
                  headSpa +
                  "\t1\t-500\t0\t0\t0\t0\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t#NULL#\t0\t"
                  "2018/04/01 00:00:00\r\n"
                  "1\t2\t1\t1\t\t#NULL#\t540\t0\t#NULL#\t0\t0\t1\t2\t3\t4\t5\t9\t#NULL#\r\n");
    EXPECT_EQ(fx.readFile(fx.backupPath("MTTENP10%.CSV")),
              TenHeader + "1\t1\t1\t1\t" + shampoo +
                  "\t1\t540\t#NULL#\t0\t2018/04/01 00:00:00\r\n");

    // An empty table gives the header alone.
    QFile::remove(fx.backupPath("MTTENP10%.CSV"));
    fx.setRetailRows({});
    ASSERT_TRUE(backupRetailProducts(fx.cn(), Tmp, fx.drive(), boxes));
    EXPECT_EQ(fx.readFile(fx.backupPath("MTTENP10%.CSV")), TenHeader);
}

// Every name comes out as the code page 932 converter makes it of the whole
// text: runs of ASCII and other characters alike, the control characters the
// code page exchanges, characters it cannot show, over many write blocks.
TEST(Backup, NamesComeOutAsTheConverterMakesThem) {
    const QString names[] = {
        QStringLiteral("A\u001aB\u001cC\u007f カット"),
        QStringLiteral("\u00a5\u203e\uff3c\uff5e~\\"),
        QStringLiteral("\U00020BB7野家"),
        QString(),
    };
    constexpr int Rows = 3000; // well over one write block
    EngineFixture fx(storeOptions());
    std::vector<TechnicalRow> rows;
    for (int i = 0; i < Rows; ++i)
        rows.push_back(
            {.gijutuId = i + 1, .name = names[i % std::size(names)] + QString::number(i)});
    fx.setTechnicalRows(rows);
    ScriptedBoxes boxes;
    ASSERT_TRUE(backupTechnicalMenu(fx.cn(), Tmp, fx.drive(), boxes));

    const QList<QByteArray> lines = fx.readFile(fx.backupPath("MTGIJU10%.CSV")).split('\n');
    ASSERT_EQ(lines.size(), Rows + 2); // header, rows, nothing after the last CR LF
    for (int i = 0; i < Rows; ++i) {
        const QList<QByteArray> fields = lines[i + 1].split('\t');
        ASSERT_EQ(fields.size(), 18) << i;
        EXPECT_EQ(fields[4], cp932::encode(rows[std::size_t(i)].name)) << i;
    }
}

// A write that fails half way (the disk full), made with a file size limit.
// Windows has no such limit for one process, so the Windows build leaves this
// test out.
#ifndef _WIN32
// A write that fails half way (the disk full) shows the message and leaves
// no file, neither the backup nor a temporary one, that would block a later
// backup. (A name taken by a folder is among the run failures.)
TEST(Backup, AFailedWriteShowsTheCauseAndLeavesNoFile) {
    sample::Options o = storeOptions();
    o.technicalRows = 200; // a file of well over 8 KB
    EngineFixture fx(o);
    fx.cn(); // open before the limit: the database files stay untouched
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 4096;

    ScriptedBoxes boxes;
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool result = backupTechnicalMenu(fx.cn(), Tmp, fx.drive(), boxes);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(result);
    ASSERT_EQ(boxes.shown.size(), 1u);
    // The line, the file's error with the system's text, and that nothing changed.
    QStringList lines = boxes.shown[0].text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4) << boxes.shown[0].text.toStdString();
    EXPECT_FALSE(lines.takeAt(2).isEmpty());
    EXPECT_EQ(lines, (QStringList{"MTGIJU10%.CSVの作成に失敗しました", "エラー番号: 75",
                                  "単価は変更されていません。"}));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(filesIn(fx.install().workDir), QStringList{});
}
#endif

TEST(WorkFolder, FollowsTheDataFileThenTheCandidateOrder) {
    using sample::Product;
    const struct {
        const char* name;
        Product product;
        bool headquarters, removeOwnTmp;
        QStringList extraDirs; // created under drive C
        QString expected;
    } cases[] = {
        // clang-format off
        {"headquarters' own folder", Product::ZEMA, true, false, {"ZEMA/TMP"}, "C:\\ZEMAH\\TMP"},
        {"headquarters without one", Product::ZEMA, true, true, {"ZEMA/TMP"}, "C:\\ZEMA\\TMP"},
        {"data file beats order", Product::KOTA, false, false, {"ZEMAH/TMP"}, "C:\\KOTA\\TMP"},
        {"first existing candidate", Product::KOTA, false, true, {"MIRO/TMP", "ZEMA/TMP"},
         "C:\\ZEMA\\TMP"},
        // clang-format on
    };
    for (const auto& c : cases) {
        sample::Options o = c.headquarters ? headquartersOptions(1) : storeOptions();
        o.product = c.product;
        EngineFixture fx(o);
        if (c.removeOwnTmp)
            QDir(fx.install().workDir).removeRecursively();
        for (const QString& d : c.extraDirs)
            QDir(fx.install().driveC).mkpath(d);
        EXPECT_EQ(findWorkFolder(fx.cn(), fx.drive()), c.expected) << c.name;
    }
}

} // namespace
} // namespace tanka::test
