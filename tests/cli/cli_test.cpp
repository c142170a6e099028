// tanka convert / tanka undo: the words read in-process, then the real
// program on sample installations: every exit status with the tables left
// alone where nothing may change, the conversion against the window's run,
// and undo.

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "app/cli/command_line.h"
#include "core/code_page_932.h"
#include "engine_fixture.h"
#include "pricing/execute.h"

namespace tanka::test {
namespace {

struct Outcome {
    int status = -1;
    QString out, err;
    // The path of a "履歴ファイル: " line of the output, empty when none.
    QString journal() const {
        for (const QString& line : out.split(u'\n'))
            if (line.startsWith(QStringLiteral("履歴ファイル: ")))
                return line.mid(8);
        return {};
    }
};

// Runs bin/tanka with args on the installation of fx; standard input is a
// pipe, never a terminal. The user's runtime folder (and so the program's
// lock) is the sample's own.
Outcome tanka(const EngineFixture& fx, const QStringList& args) {
    const QString runtime = QDir(fx.site().path()).filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TANKA_DRIVE_C"), fx.install().driveC);
    env.insert(QStringLiteral("TANKA_SQLITE_DIR"), fx.install().sqliteDir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(binPath("tanka"), args);
    child.closeWriteChannel();
    EXPECT_TRUE(child.waitForFinished(120000));
    // Redirected output is in the locale's encoding: UTF-8 here, code page
    // 932 on Windows.
    const auto text = [](const QByteArray& bytes) {
#ifdef _WIN32
        return cp932::decode(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#else
        return QString::fromUtf8(bytes);
#endif
    };
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
            text(child.readAllStandardOutput()), text(child.readAllStandardError())};
}

// The blank-separated words of a text.
QStringList words(const char* text) {
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

// A command line and what it reads as: the first usage error, or (when
// error is empty) the request, written back as "kinds rounding stores flags".
struct ParseCase {
    const char* args;
    const char* error;
    const char* request = "";
};

QString requestText(const cli::Command& c) {
    const auto flag = [](bool on, const char* word) {
        return on ? u' ' + QString(word) : QString();
    };
    if (c.kind == cli::CommandKind::Help)
        return c.help.section(u'\n', 0, 0);
    if (c.kind == cli::CommandKind::Undo)
        return "undo " + c.undo.journal + flag(c.undo.dryRun, "dry") + flag(c.undo.yes, "yes");
    const cli::ConvertRequest& r = c.convert;
    QStringList stores;
    for (const std::int16_t s : r.stores)
        stores << QString::number(s);
    return QString::asprintf("%d/%d %d/%d ", int(r.technicalKind), int(r.retailKind),
                             int(r.roundingMethod), int(r.roundingUnit)) +
           (r.storesGiven ? u'[' + stores.join(u',') + u']' : QStringLiteral("-")) +
           flag(r.force, "force") + flag(r.dryRun, "dry") + flag(r.yes, "yes") +
           (r.out.isEmpty() ? QString() : " out=" + r.out) + flag(r.compareRounding, "compare");
}

TEST(CommandLine, ReadsTheWordsAsBefore) {
    // clang-format off
    const ParseCase cases[] = {
        {"", "", "使い方:"},
        {"-h convert", "", "使い方:"},
        {"convert --help --unit 5", "", "使い方: tanka convert --technical 10|excl --retail 10|excl --round down|up|half"},
        {"undo x -h", "", "使い方: tanka undo 履歴ファイル [--dry-run] [--yes]"},
        {"--yes convert", "不明なコマンドです: --yes"},
        {"convert --technical 10 --round half --unit 1", "", "1/-1 2/0 -"},
        {"convert --retail=excl --technical excl --round=up --unit 100 --stores 12,4,9999 --force --yes", "", "2/2 1/2 [12,4,9999] force yes"},
        {"convert --retail 10 --round down --unit 10 --dry-run --out a.tsv --compare-rounding", "", "-1/1 0/1 - dry out=a.tsv compare"},
        {"convert --technical 10 --round up --unit", "--unit に値がありません"},
        {"convert --technical 10 --round up --unit --yes", "--unit に値がありません"},
        {"convert --technical= --round up --unit 1", "--technical に値がありません"},
        {"convert --technical 10 --technical 10", "--technical が2回指定されています"},
        {"convert --yes=1", "--yes は値をとりません"},
        {"convert -unit 1", "不明なオプションです: -unit"},
        {"convert --h", "不明なオプションです: --h"},
        {"convert --technical 10 x", "余分な引数です: x"},
        {"convert --technical 8 --round sideways --unit 1", "--technical の値が違います: 8（10, excl のいずれか）"},
        {"convert --round up --unit 1", "--technical と --retail の少なくとも一方を指定してください"},
        {"convert --retail 10 --unit 1", "--round（端数処理）を指定してください"},
        {"convert --retail 10 --round up", "--unit（端数単位）を指定してください"},
        {"convert --retail 10 --round up --unit 1 --stores 1,,2", "--stores の値が違います: 1,,2（店舗コード 1〜9999 をカンマ区切りで）"},
        {"convert --retail 10 --round up --unit 1 --stores 0", "--stores の値が違います: 0（店舗コード 1〜9999 をカンマ区切りで）"},
        {"convert --retail 10 --round up --unit 1 --out a.tsv", "--out は --dry-run と一緒に指定してください"},
        {"convert --retail 10 --round up --unit 1 --compare-rounding --yes", "--compare-rounding は --dry-run と一緒に指定してください"},
        {"undo", "履歴ファイルを指定してください"},
        {"undo a.tsv b.tsv", "余分な引数です: b.tsv"},
        {"undo a.tsv --dry-run --yes", "", "undo a.tsv dry yes"},
        {"undo a.tsv --force", "不明なオプションです: --force"},
    };
    // clang-format on
    for (const ParseCase& c : cases) {
        const cli::Parsed p = cli::parseCommandLine(words(c.args));
        EXPECT_EQ(p.error, QString::fromUtf8(c.error)) << c.args;
        if (p.error.isEmpty()) {
            EXPECT_EQ(requestText(p.command), QString::fromUtf8(c.request)) << c.args;
        }
    }
    // Every help text ends with what the exit statuses mean.
    for (const QString& help : {cli::mainHelp(), cli::convertHelp(), cli::undoHelp()})
        EXPECT_TRUE(help.endsWith(QStringLiteral("64 コマンドラインの誤り\n")));
}

// One command and what it must give; every case here leaves both tables
// exactly as they were. A second copy of the program is refused while the
// first holds the lock.
struct UnchangedCase {
    const char* name;
    sample::Options options;
    const char* args;
    int status;
    const char* message; // expected in standard output or error
    QStringList sqlFirst = {};
    bool secondCopy = false; // the program's lock is held as by a first copy
};

class Unchanged : public ::testing::TestWithParam<UnchangedCase> {};

TEST_P(Unchanged, GivesItsStatusAndChangesNothing) {
    const UnchangedCase& c = GetParam();
    EngineFixture fx(c.options);
    fx.exec(c.sqlFirst);
#ifdef _WIN32
    // Windows keeps the lock in the user's profile.
    QLockFile first(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                    QStringLiteral("/tanka.lock"));
#else
    QLockFile first(QDir(fx.site().path()).filePath(QStringLiteral("run/tanka.lock")));
#endif
    if (c.secondCopy) {
        tanka(fx, {"--help"}); // makes the runtime folder
        ASSERT_TRUE(first.tryLock(0));
    }
    const QStringList before = fx.dumpBoth();
    const Outcome o = tanka(fx, words(c.args));
    EXPECT_EQ(o.status, c.status) << o.err.toStdString();
    EXPECT_TRUE((o.out + o.err).contains(QString::fromUtf8(c.message)))
        << o.out.toStdString() << o.err.toStdString();
    EXPECT_EQ(fx.dumpBoth(), before);
    EXPECT_TRUE(filesIn(fx.install().workDir).filter(QStringLiteral(".TSV")).isEmpty());
}

using sample::Slots;
const sample::Options Store = storeOptions(2);
sample::Options withoutIniKey(const char* key) {
    sample::Options o = Store;
    o.omitIniKeys = {QString::fromUtf8(key)};
    return o;
}

// clang-format off
const UnchangedCase UnchangedCases[] = {
    {"NoTerminalNoYes", Store, "convert --technical 10 --round up --unit 1", 1, "--yes"},
    {"BothSetWithoutForce", withSlots(Store, Slots::A, Slots::Both), "convert --retail 10 --round up --unit 1 --yes", 1, "単価はA/B共に設定済みです"},
    {"UnknownStoresOnly", headquartersOptions(3), "convert --technical 10 --round up --unit 1 --stores 99 --yes", 1, "変更する店舗がありません"},
    {"FailedRunRolledBack", Store, "convert --technical 10 --retail 10 --round up --unit 1 --yes", 2, "変更は取り消されました",
     {"CREATE TRIGGER refuse BEFORE UPDATE ON MTTENP BEGIN SELECT RAISE(ABORT, 'no'); END"}},
    {"NoInstallation", withoutIniKey("MsTori"), "convert --technical 10 --round up --unit 1 --yes", 2, "ルミナが見つかりません"},
    {"StoresAtAStore", Store, "convert --technical 10 --round up --unit 1 --stores 1", 64, "本部"},
    {"BadUnit", Store, "convert --technical 10 --round up --unit 5", 64, "--unit"},
    {"SecondCopy", Store, "convert --technical 10 --round up --unit 1 --yes", 1, "既に起動しています", {}, true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cli, Unchanged, ::testing::ValuesIn(UnchangedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The dry run lists the rows it would change (a deleted row is none) in its
// list file and compares the roundings, as text, on two taxed retail prices
// (1,080 yen converts to 1,100 exactly, 1,000 yen to 1,018.52) and an untaxed
// one, which no rounding counts; it writes no journal and changes nothing.
// (Worked by hand: truncating to 10 yen gives 1,010, 8.52 below the exact
// amount; rounding up to 100 yen, 1,100.)
TEST(Cli, DryRunListsAndComparesTheRoundings) {
    EngineFixture fx(storeOptions());
    fx.setRetailRows(
        {{1, 1, 1, 1080, {}}, {1, 2, 1, 1000, {}}, {1, 3, 0, 550, {}}, {1, 4, 1, 2000, {}, 9}});
    const QStringList before = fx.dumpBoth();
    const QString list = QDir(fx.site().path()).filePath(QStringLiteral("list.tsv"));
    const Outcome o = tanka(fx, words("convert --retail 10 --round half --unit 10 --dry-run "
                                      "--compare-rounding --out")
                                    << list);
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("変更する行: 3"))) << o.out.toStdString();
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), 1 + 3);
    EXPECT_TRUE(filesIn(fx.install().workDir).isEmpty());
    EXPECT_EQ(fx.dumpBoth(), before);
    // The heading, then one rounding of each method and unit (the figures of
    // every rounding are recounted by the preview tests), "*" on the one asked for.
    for (const char* line :
         {"\n端数の比較（課税の単価のうち、実行で変わるもの）\n"
          "  換算額 = 8%込み単価 × 100/108（外税）、× 100/108 × 1.1 = 55/54（内税10%）\n"
          "  差額 = 新単価 － 換算額（円。＋はお客様の支払いが増え、－は減ります）\n店販:\n",
          "\n  切り捨て 1円: 変更 2 うち換算額と違う 1 / 差額 合計 -0.52 平均 -0.26 最大 -0.52 / "
          "末尾 00: 1 50: 0 0: 0 その他: 1\n",
          "\n  切り上げ 100円: 変更 2 うち換算額と違う 1 / 差額 合計 +81.48 平均 +40.74 最大 "
          "+81.48 / 末尾 00: 2 50: 0 0: 0 その他: 0\n",
          "\n* 四捨五入 10円: 変更 2 うち換算額と違う 1 / 差額 合計 +1.48 平均 +0.74 最大 +1.48 / "
          "末尾 00: 1 50: 0 0: 1 その他: 0\n"})
        EXPECT_TRUE(o.out.contains(QString::fromUtf8(line))) << line << o.out.toStdString();
}

// The command line writes what the window's run writes for the same choices:
// the same installation converted once by each, whole tables compared; and
// undo through the command line takes its run back. (The journal tests take
// undo through its refusals.)
struct SameAsWindowCase {
    const char* name;
    sample::Options options;
    const char* args;
    // The window's choices: kinds (-1 none), rounding, slots, stores.
    std::int16_t technical, retail, roundingMethod, roundingUnit, src, dst;
    std::vector<std::int16_t> stores = {};
};

class SameAsWindow : public ::testing::TestWithParam<SameAsWindowCase> {};

TEST_P(SameAsWindow, TablesEqualTheWindowsRun) {
    const SameAsWindowCase& c = GetParam();
    QStringList byCli;
    {
        EngineFixture fx(c.options);
        const QStringList before = fx.dumpBoth();
        const Outcome o = tanka(fx, words(c.args));
        ASSERT_EQ(o.status, 0) << o.err.toStdString();
        byCli = fx.dumpBoth();
        EXPECT_NE(byCli, before);
        // Undo of the journal the run names restores the tables exactly.
        const Outcome undo = tanka(fx, {"undo", o.journal(), "--yes"});
        ASSERT_EQ(undo.status, 0) << o.out.toStdString() << undo.err.toStdString();
        EXPECT_EQ(fx.dumpBoth(), before);
    }
    EngineFixture fx(c.options);
    fx.clock().set(QDate::currentDate());
    Globals& g = fx.g();
    g.technicalKind = static_cast<ConversionKind>(c.technical);
    g.retailKind = static_cast<ConversionKind>(c.retail);
    g.roundingMethod = static_cast<RoundingMethod>(c.roundingMethod);
    g.roundingUnit = static_cast<RoundingUnit>(c.roundingUnit);
    g.technicalSource = g.retailSource = static_cast<Slot>(c.src);
    g.technicalDestination = g.retailDestination = static_cast<Slot>(c.dst);
    for (std::size_t i = 0; i < c.stores.size(); ++i)
        g.chosenStores[i][0] = QString::number(c.stores[i]);
    ScriptedBoxes boxes;
    ASSERT_EQ(executeRun(fx.cn(), g, boxes, fx.drive(), fx.clock(), {}), RunResult::Finished);
    EXPECT_EQ(fx.dumpBoth(), byCli);
}

sample::Options forcedB() {
    sample::Options o = withSlots(storeOptions(), Slots::Both, Slots::Both);
    o.technicalSwitchFlag = o.retailSwitchFlag = 2;
    return o;
}

// clang-format off
const SameAsWindowCase SameAsWindowCases[] = {
    //                                                                                        technical retail method unit src dst
    {"StoreBothExclUp100FromB", withSlots(storeOptions(), Slots::B, Slots::B),
     "convert --technical excl --retail excl --round up --unit 100 --yes",                   2, 2, 1, 2, 1, 0},
    {"HeadquartersStoresRetail", headquartersOptions(4),
     "convert --retail 10 --round down --unit 10 --stores 2,4,99 --yes",                    -1, 1, 0, 1, 0, 1, {2, 4}},
    {"ForcedFromSwitchFlagB", forcedB(),
     "convert --technical 10 --retail 10 --round down --unit 1 --force --yes",               1, 1, 0, 0, 1, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cli, SameAsWindow, ::testing::ValuesIn(SameAsWindowCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tanka::test
