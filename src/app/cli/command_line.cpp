#include "app/cli/command_line.h"

#include <optional>

#include <QRegularExpression>

namespace tanka::cli {
namespace {

// One option: its name and whether it takes a value ("--unit 10" or
// "--unit=10").
struct Option {
    const char* name;
    bool takesValue;
};

// clang-format off
constexpr Option ConvertOptions[] = {
    {"technical", true}, {"retail", true}, {"round", true},    {"unit", true}, {"stores", true},
    {"out", true},       {"force", false}, {"dry-run", false}, {"yes", false},
    {"compare-rounding", false},
};
// clang-format on
constexpr Option UndoOptions[] = {{"dry-run", false}, {"yes", false}};

// The options given, by name, and the other arguments.
struct Words {
    QList<std::pair<QString, QString>> options;
    QStringList positional;
    bool help = false;

    std::optional<QString> value(const char* name) const {
        for (const auto& [n, v] : options)
            if (n == QLatin1String(name))
                return v;
        return std::nullopt;
    }
    bool isSet(const char* name) const { return value(name).has_value(); }
};

template <std::size_t N>
QString splitWords(const QStringList& args, const Option (&known)[N], Words& words) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--help" || arg == u"-h") {
            words.help = true;
            continue;
        }
        if (!arg.startsWith(u'-') || arg == u"-") {
            words.positional << arg;
            continue;
        }
        const qsizetype eq = arg.indexOf(u'=');
        const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
        const Option* option = nullptr;
        for (const Option& o : known)
            if (arg.startsWith(u"--") && name == QLatin1String(o.name))
                option = &o;
        if (!option)
            return QStringLiteral("不明なオプションです: %1").arg(arg);
        if (words.isSet(option->name))
            return QStringLiteral("--%1 が2回指定されています").arg(name);
        QString value;
        if (option->takesValue) {
            if (eq >= 0)
                value = arg.mid(eq + 1);
            else if (i + 1 < args.size() && !args[i + 1].startsWith(QStringLiteral("--")))
                value = args[++i];
            if (value.isEmpty())
                return QStringLiteral("--%1 に値がありません").arg(name);
        } else if (eq >= 0) {
            return QStringLiteral("--%1 は値をとりません").arg(name);
        }
        words.options.append({name, value});
    }
    return {};
}

// The value of an option among fixed words; error set when it is none of them.
std::int16_t choice(const Words& words, const char* name,
                    std::initializer_list<std::pair<const char*, std::int16_t>> table,
                    const char* allowed, QString& error) {
    const std::optional<QString> value = words.value(name);
    if (!value)
        return -1;
    for (const auto& [word, result] : table)
        if (*value == QLatin1String(word))
            return result;
    if (error.isEmpty())
        error = QStringLiteral("--%1 の値が違います: %2（%3 のいずれか）")
                    .arg(QLatin1String(name), *value, QLatin1String(allowed));
    return -1;
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
    Words words;
    p.error = splitWords(args, ConvertOptions, words);
    if (p.error.isEmpty() && words.help) {
        p.command = {CommandKind::Help, convertHelp(), {}, {}};
        return p;
    }
    if (!p.error.isEmpty())
        return p;
    if (!words.positional.isEmpty())
        return {p.command, QStringLiteral("余分な引数です: %1").arg(words.positional.first())};

    ConvertRequest& r = p.command.convert;
    QString& e = p.error;
    r.technicalKind = choice(words, "technical", {{"10", 1}, {"excl", 2}}, "10, excl", e);
    r.retailKind = choice(words, "retail", {{"10", 1}, {"excl", 2}}, "10, excl", e);
    r.roundingMethod =
        choice(words, "round", {{"down", 0}, {"up", 1}, {"half", 2}}, "down, up, half", e);
    r.roundingUnit = choice(words, "unit", {{"1", 0}, {"10", 1}, {"100", 2}}, "1, 10, 100", e);
    if (!e.isEmpty())
        return p;
    if (!words.isSet("technical") && !words.isSet("retail"))
        e = QStringLiteral("--technical と --retail の少なくとも一方を指定してください");
    else if (!words.isSet("round"))
        e = QStringLiteral("--round（端数処理）を指定してください");
    else if (!words.isSet("unit"))
        e = QStringLiteral("--unit（端数単位）を指定してください");
    if (const auto stores = words.value("stores")) {
        r.storesGiven = true;
        if (e.isEmpty() && !readStores(*stores, r.stores))
            e = QStringLiteral("--stores の値が違います: %1（店舗コード 1〜9999 をカンマ区切りで）")
                    .arg(*stores);
    }
    r.force = words.isSet("force");
    r.dryRun = words.isSet("dry-run");
    r.yes = words.isSet("yes");
    r.out = words.value("out").value_or(QString());
    if (e.isEmpty() && !r.out.isEmpty() && !r.dryRun)
        e = QStringLiteral("--out は --dry-run と一緒に指定してください");
    r.compareRounding = words.isSet("compare-rounding");
    if (e.isEmpty() && r.compareRounding && !r.dryRun)
        e = QStringLiteral("--compare-rounding は --dry-run と一緒に指定してください");
    return p;
}

Parsed parseUndo(const QStringList& args) {
    Parsed p;
    p.command.kind = CommandKind::Undo;
    Words words;
    p.error = splitWords(args, UndoOptions, words);
    if (p.error.isEmpty() && words.help) {
        p.command = {CommandKind::Help, undoHelp(), {}, {}};
        return p;
    }
    if (!p.error.isEmpty())
        return p;
    if (words.positional.size() != 1) {
        p.error = words.positional.isEmpty()
                      ? QStringLiteral("履歴ファイルを指定してください")
                      : QStringLiteral("余分な引数です: %1").arg(words.positional[1]);
        return p;
    }
    p.command.undo = {words.positional.first(), words.isSet("dry-run"), words.isSet("yes")};
    return p;
}

} // namespace

Parsed parseCommandLine(const QStringList& args) {
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h")
        return {{CommandKind::Help, mainHelp(), {}, {}}, {}};
    if (args.first() == u"convert")
        return parseConvert(args.mid(1));
    if (args.first() == u"undo")
        return parseUndo(args.mid(1));
    return {{}, QStringLiteral("不明なコマンドです: %1").arg(args.first())};
}

QString mainHelp() {
    return QStringLiteral(
        "使い方:\n"
        "  tanka                  画面で単価を変更します\n"
        "  tanka convert ...      画面を開かずに単価を変更します（tanka convert --help）\n"
        "  tanka undo 履歴ファイル  単価変更を履歴ファイルから取り消します（tanka undo --help）\n"
        "\n"
        "終了状態: 0 完了、1 中止（何も変更していません）、2 失敗（変更は取り消されました）、\n"
        "          64 コマンドラインの誤り\n");
}

QString convertHelp() {
    return QStringLiteral(
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
        "  --yes                 「単価変更開始しますか？」の確認をしません\n"
        "\n"
        "終了状態: 0 完了、1 中止（何も変更していません）、2 失敗（変更は取り消されました）、\n"
        "          64 コマンドラインの誤り\n");
}

QString undoHelp() {
    return QStringLiteral(
        "使い方: tanka undo 履歴ファイル [--dry-run] [--yes]\n"
        "\n"
        "履歴ファイルに記録された行の単価を、変更前の値に戻します（1つのトランザクションで）。\n"
        "履歴ファイルの後に変更された行があるときは、その行を示して何も変更しません。\n"
        "取消も履歴ファイルを残すので、取消をさらに取り消せます。\n"
        "\n"
        "  --dry-run   何も変更せずに、取り消せるかどうかを確認します\n"
        "  --yes       「単価変更を取り消しますか？」の確認をしません\n"
        "\n"
        "終了状態: 0 完了、1 中止（何も変更していません）、2 失敗（変更は取り消されました）、\n"
        "          64 コマンドラインの誤り\n");
}

} // namespace tanka::cli
