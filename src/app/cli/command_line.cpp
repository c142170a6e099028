#include "app/cli/command_line.h"

#include <algorithm>

#include <QCommandLineParser>
#include <QRegularExpression>

namespace tanka::cli {
namespace {

// An option that takes a value ("--unit 10" or "--unit=10"); the others are
// flags. The help texts below are written by hand, so the options carry no
// descriptions.
QCommandLineOption valued(const char* name) {
    return {QString::fromLatin1(name), {}, QStringLiteral("value")};
}
QCommandLineOption flag(const char* name) {
    return QCommandLineOption(QString::fromLatin1(name));
}

QList<QCommandLineOption> convertOptions() {
    return {valued("technical"), valued("retail"),        valued("round"), valued("unit"),
            valued("stores"),    valued("out"),           flag("force"),   flag("dry-run"),
            flag("yes"),         flag("compare-rounding")};
}
QList<QCommandLineOption> undoOptions() {
    return {flag("dry-run"), flag("yes")};
}

// Only these two words ask for help. addHelpOption() is not used: it adds
// --help-all too, and -? on Windows, which are unknown options here.
bool isHelp(const QString& word) {
    return word == u"--help" || word == u"-h";
}
const QString Help = QStringLiteral("help");

// The first fault among a command's words, in the order given, as the
// message the user sees; empty when there is none. QCommandLineParser reads
// on past a fault, names an unknown option without its dashes (in English),
// and lets through what this command line has always refused, so the words
// are checked against the same options first:
//  - an option is "--name" or "--name=value"; any other word starting with
//    "-" (but "-" and -h) is unknown as typed, where Qt would take "-unit" as
//    a long option, "-hy" as -h -y and "--" as the end of the options;
//  - "--h" is unknown, not help; "--help=1" is unknown, not a refused value;
//  - an option may be given once (Qt collects the values of each);
//  - a value is not empty, and a following word that starts with "--" is not
//    taken as the value ("--unit --yes" has none; Qt would take "--yes").
QString firstFault(const QStringList& words, const QList<QCommandLineOption>& options) {
    QStringList given;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (isHelp(word) || !word.startsWith(u'-') || word == u"-")
            continue;
        const qsizetype eq = word.indexOf(u'=');
        const QString name = word.mid(2, eq < 0 ? -1 : eq - 2);
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&](const auto& o) { return o.names().first() == name; });
        if (!word.startsWith(u"--") || option == options.end())
            return QStringLiteral("不明なオプションです: %1").arg(word);
        if (given.contains(name))
            return QStringLiteral("--%1 が2回指定されています").arg(name);
        given << name;
        if (option->valueName().isEmpty()) {
            if (eq >= 0)
                return QStringLiteral("--%1 は値をとりません").arg(name);
            continue;
        }
        QString value;
        if (eq >= 0)
            value = word.mid(eq + 1);
        else if (i + 1 < words.size() && !words[i + 1].startsWith(u"--"))
            value = words[++i];
        if (value.isEmpty())
            return QStringLiteral("--%1 に値がありません").arg(name);
    }
    return {};
}

// Checks a command's words, then reads them into parser; the usage error, or
// empty when parser holds them. Words that passed the check are ones
// QCommandLineParser reads without a fault, each option at most once.
QString readWords(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                  const QStringList& words) {
    if (QString fault = firstFault(words, options); !fault.isEmpty())
        return fault;
    parser.addOptions(options);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), Help}));
    parser.parse(QStringList{QString()} + words); // the first is the program's name
    return {};
}

// The value of an option among fixed words; error set when it is none of
// them. Choice::None when the option is not given or its value is wrong.
template <typename Choice>
Choice choice(const QCommandLineParser& parser, const char* name,
              std::initializer_list<std::pair<const char*, Choice>> table, const char* allowed,
              QString& error) {
    const QString option = QString::fromLatin1(name);
    if (!parser.isSet(option))
        return Choice::None;
    const QString value = parser.value(option);
    for (const auto& [word, result] : table)
        if (value == QLatin1String(word))
            return result;
    if (error.isEmpty())
        error = QStringLiteral("--%1 の値が違います: %2（%3 のいずれか）")
                    .arg(option, value, QLatin1String(allowed));
    return Choice::None;
}

// "12,13": store codes as the store dialog takes them, one to four digits
// and greater than 0.
bool readStores(const QString& text, std::vector<std::int16_t>& stores) {
    static const QRegularExpression code(QStringLiteral("^[0-9]{1,4}$"));
    for (const QString& part : text.split(u',')) {
        if (!code.match(part).hasMatch() || part.toInt() == 0)
            return false;
        stores.push_back(static_cast<std::int16_t>(part.toInt()));
    }
    return true;
}

Parsed parseConvert(const QStringList& args) {
    Parsed p;
    p.command.kind = CommandKind::Convert;
    QCommandLineParser words;
    p.error = readWords(words, convertOptions(), args);
    if (!p.error.isEmpty())
        return p;
    if (words.isSet(Help))
        return {{CommandKind::Help, convertHelp(), {}, {}}, {}};
    if (const QStringList extra = words.positionalArguments(); !extra.isEmpty())
        return {p.command, QStringLiteral("余分な引数です: %1").arg(extra.first())};

    const auto isSet = [&](const char* name) { return words.isSet(QString::fromLatin1(name)); };
    ConvertRequest& r = p.command.convert;
    QString& e = p.error;
    using enum ConversionKind;
    const std::initializer_list<std::pair<const char*, ConversionKind>> kinds = {
        {"10", TenPercentIncluded}, {"excl", TaxExcluded}};
    r.technicalKind = choice(words, "technical", kinds, "10, excl", e);
    r.retailKind = choice(words, "retail", kinds, "10, excl", e);
    r.roundingMethod = choice<RoundingMethod>(words, "round",
                                              {{"down", RoundingMethod::Down},
                                               {"up", RoundingMethod::Up},
                                               {"half", RoundingMethod::HalfUp}},
                                              "down, up, half", e);
    r.roundingUnit = choice<RoundingUnit>(
        words, "unit",
        {{"1", RoundingUnit::Yen1}, {"10", RoundingUnit::Yen10}, {"100", RoundingUnit::Yen100}},
        "1, 10, 100", e);
    if (!e.isEmpty())
        return p;
    if (!isSet("technical") && !isSet("retail"))
        e = QStringLiteral("--technical と --retail の少なくとも一方を指定してください");
    else if (!isSet("round"))
        e = QStringLiteral("--round（端数処理）を指定してください");
    else if (!isSet("unit"))
        e = QStringLiteral("--unit（端数単位）を指定してください");
    if (isSet("stores")) {
        const QString stores = words.value(QStringLiteral("stores"));
        r.storesGiven = true;
        if (e.isEmpty() && !readStores(stores, r.stores))
            e = QStringLiteral("--stores の値が違います: %1（店舗コード 1〜9999 をカンマ区切りで）")
                    .arg(stores);
    }
    r.force = isSet("force");
    r.dryRun = isSet("dry-run");
    r.yes = isSet("yes");
    r.out = words.value(QStringLiteral("out"));
    if (e.isEmpty() && !r.out.isEmpty() && !r.dryRun)
        e = QStringLiteral("--out は --dry-run と一緒に指定してください");
    r.compareRounding = isSet("compare-rounding");
    if (e.isEmpty() && r.compareRounding && !r.dryRun)
        e = QStringLiteral("--compare-rounding は --dry-run と一緒に指定してください");
    return p;
}

Parsed parseUndo(const QStringList& args) {
    Parsed p;
    p.command.kind = CommandKind::Undo;
    QCommandLineParser words;
    p.error = readWords(words, undoOptions(), args);
    if (!p.error.isEmpty())
        return p;
    if (words.isSet(Help))
        return {{CommandKind::Help, undoHelp(), {}, {}}, {}};
    const QStringList journal = words.positionalArguments();
    if (journal.size() != 1) {
        p.error = journal.isEmpty() ? QStringLiteral("履歴ファイルを指定してください")
                                    : QStringLiteral("余分な引数です: %1").arg(journal[1]);
        return p;
    }
    p.command.undo = {journal.first(), words.isSet(QStringLiteral("dry-run")),
                      words.isSet(QStringLiteral("yes"))};
    return p;
}

// A help text: body, then what the exit statuses (ExitStatus) mean.
QString withExitStatuses(const QString& body) {
    return body + QStringLiteral("\n"
                                 "終了状態: 0 完了、1 中止（何も変更していません）、2 "
                                 "失敗（変更は取り消されました）、\n"
                                 "          64 コマンドラインの誤り\n");
}

} // namespace

Parsed parseCommandLine(const QStringList& args) {
    // The first word alone names the command (or asks for help); every word
    // after it is the command's own, read by that command's parser.
    if (args.isEmpty() || isHelp(args.first()))
        return {{CommandKind::Help, mainHelp(), {}, {}}, {}};
    if (args.first() == u"convert")
        return parseConvert(args.mid(1));
    if (args.first() == u"undo")
        return parseUndo(args.mid(1));
    return {{}, QStringLiteral("不明なコマンドです: %1").arg(args.first())};
}

QString mainHelp() {
    return withExitStatuses(QStringLiteral(
        "使い方:\n"
        "  tanka                  画面で単価を変更します\n"
        "  tanka convert ...      画面を開かずに単価を変更します（tanka convert --help）\n"
        "  tanka undo 履歴ファイル  単価変更を履歴ファイルから取り消します（tanka undo "
        "--help）\n"));
}

QString convertHelp() {
    return withExitStatuses(QStringLiteral(
        "使い方: tanka convert --technical 10|excl --retail 10|excl --round down|up|half\n"
        "                      --unit 1|10|100 [--stores 12,13] [--force] [--dry-run [--out "
        "ファイル]] [--yes]\n"
        "                      [--dry-run --compare-rounding]\n"
        "\n"
        "技術メニューと店販商品の単価を、画面の「実行」と同じ確認と手順で変更します。\n"
        "変更した行は作業フォルダの履歴ファイルに記録し、その名前を「履歴ファイル: "
        "」の行で示します。\n"
        "\n"
        "  --technical 10|excl   技術メニューを変更する（10: 内税10%単価へ、excl: "
        "外税（税抜き）単価へ）\n"
        "  --retail 10|excl      店販商品を変更する（同上）。--technical と --retail "
        "の少なくとも一方が必要です\n"
        "  --round down|up|half  端数処理（down: 切り捨て、up: 切り上げ、half: 四捨五入）\n"
        "  --unit 1|10|100       端数単位（円）\n"
        "  --stores 12,13        本部で変更する店舗のコード（20店舗まで。省略すると全店舗）\n"
        "  --force               強制実行: 使用中の単価を店舗の切替フラグで決めます\n"
        "  --dry-run             何も変更せずに、変更される行数と単価の移動を表示します\n"
        "  --out ファイル          --dry-run で、変更される行の一覧をファイルに保存します\n"
        "  --compare-rounding    --dry-run で、9通りの端数処理（切り捨て・切り上げ・四捨五入 × "
        "1・10・100円）を比べます\n"
        "  --yes                 「単価変更開始しますか？」の確認をしません\n"));
}

QString undoHelp() {
    return withExitStatuses(QStringLiteral(
        "使い方: tanka undo 履歴ファイル [--dry-run] [--yes]\n"
        "\n"
        "履歴ファイルに記録された行の単価を、変更前の値に戻します（1つのトランザクションで）。\n"
        "履歴ファイルの後に変更された行があるときは、その行を示して何も変更しません。\n"
        "取消も履歴ファイルを残すので、取消をさらに取り消せます。\n"
        "\n"
        "  --dry-run   何も変更せずに、取り消せるかどうかを確認します\n"
        "  --yes       「単価変更を取り消しますか？」の確認をしません\n"));
}

} // namespace tanka::cli
