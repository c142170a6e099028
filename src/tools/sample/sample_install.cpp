#include "tools/sample/sample_install.h"

#include <array>
#include <atomic>
#include <random>
#include <stdexcept>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "core/code_page_932.h"
#include "core/databases.h"
#include "tools/sample/schema.h"

namespace tanka::sample {

namespace {

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

struct ProductFolders {
    const char* install; // C:\<install>, headquarters with a trailing H
    const char* program; // C:\<program>, holding the settings file
    const char* ini;
};

ProductFolders foldersOf(Product product) {
    switch (product) {
    case Product::KOTA:
        return {"KOTA", "KOWin", "KOTA.ini"};
    case Product::MIRO:
        return {"MIRO", "KOWIN", "MIRO.ini"};
    case Product::ZEMA:
        break;
    }
    return {"ZEMA", "ZEWIN", "ZEMA.ini"};
}

// One open SQLite file on a connection of its own; the connection is removed
// when the object goes. Queries made on it must be gone before that.
class SqliteFile {
public:
    explicit SqliteFile(const QString& path)
        : m_name(QStringLiteral("tanka-sample-%1").arg(counter.fetch_add(1))) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open())
            fail(QStringLiteral("cannot open %1: %2").arg(path, db.lastError().text()));
        exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    ~SqliteFile() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    void exec(const QString& sql) {
        QSqlQuery q(db());
        if (!q.exec(sql))
            fail(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    }

    void begin() {
        if (!db().transaction())
            fail(QStringLiteral("begin: ") + db().lastError().text());
    }
    void commit() {
        if (!db().commit())
            fail(QStringLiteral("commit: ") + db().lastError().text());
    }

private:
    static inline std::atomic<int> counter{0};
    QString m_name;
};

// A prepared insert, executed once per row.
class Insert {
public:
    Insert(const SqliteFile& file, const QString& sql) : m_query(file.db()) {
        if (!m_query.prepare(sql))
            fail(QStringLiteral("%1: %2").arg(sql, m_query.lastError().text()));
    }
    template <typename... Values> void row(const Values&... values) {
        int i = 0;
        (m_query.bindValue(i++, QVariant(values)), ...);
        if (!m_query.exec())
            fail(QStringLiteral("insert: ") + m_query.lastError().text());
    }

private:
    QSqlQuery m_query;
};

class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_gen(seed) {}
    int below(int n) { return static_cast<int>(m_gen() % static_cast<std::uint32_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::mt19937 m_gen;
};

// An invalid QVariant binds as SQL Null.
const QVariant kNull;

struct MenuItem {
    int shumoku; // category
    const char* name;
};

constexpr std::array<MenuItem, 24> kMenu{{
    {1, "カット"},
    {1, "前髪カット"},
    {1, "メンズカット"},
    {1, "キッズカット"},
    {1, "シャンプー・ブロー"},
    {2, "カラー"},
    {2, "リタッチカラー"},
    {2, "ハイライト"},
    {2, "グレイカラー"},
    {2, "ヘアマニキュア"},
    {3, "パーマ"},
    {3, "デジタルパーマ"},
    {3, "ポイントパーマ"},
    {3, "縮毛矯正"},
    {3, "ストレートパーマ"},
    {4, "トリートメント"},
    {4, "ヘッドスパ"},
    {4, "炭酸スパ"},
    {4, "髪質改善トリートメント"},
    {5, "ヘアセット"},
    {5, "着付け"},
    {5, "眉カット"},
    {5, "シェービング"},
    {5, "成人式セット"},
}};

constexpr std::array<const char*, 16> kRetail{
    "シャンプー",         "トリートメント",     "ヘアオイル", "ワックス",
    "ヘアスプレー",       "スタイリングジェル", "ヘアミスト", "カラーシャンプー",
    "頭皮ローション",     "ヘアブラシ",         "ヘアマスク", "ヘアクリーム",
    "スカルプエッセンス", "ドライヤー",         "ヘアゴム",   "詰め替えシャンプー",
};

constexpr std::array<const char*, 20> kPlaces{
    "渋谷", "新宿", "池袋", "銀座",     "横浜", "吉祥寺", "自由が丘", "表参道", "町田",   "大宮",
    "千葉", "柏",   "立川", "二子玉川", "川崎", "藤沢",   "船橋",     "浦和",   "八王子", "中目黒",
};

// Typical prices including 8 % tax.
constexpr std::array<int, 10> kMenuBase{540, 1080, 1620, 2160, 3240, 4320, 5400, 6480, 8640, 10800};
constexpr std::array<int, 9> kRetailBase{540, 1080, 1620, 2160, 2700, 3240, 3780, 4320, 5400};

QString storeName(int index) {
    const int n = static_cast<int>(kPlaces.size());
    const QString place = QString::fromUtf8(kPlaces[static_cast<std::size_t>(index % n)]);
    if (index < n)
        return place + QStringLiteral("店");
    return place + QString::number(index / n + 1) + QStringLiteral("号店");
}

QString numbered(const char* name, int index, int count) {
    const QString base = QString::fromUtf8(name);
    return index < count ? base : base + QLatin1Char(' ') + QString::number(index / count + 1);
}

QString randomDate(Rng& rng) {
    const QDate day = QDate(2015, 1, 1).addDays(rng.below(1733));
    return day.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" %1:%2:00")
               .arg(9 + rng.below(11), 2, 10, QLatin1Char('0'))
               .arg(rng.below(60), 2, 10, QLatin1Char('0'));
}

QVariant randomTaxFlg(Rng& rng) {
    const int r = rng.below(100);
    if (r < 82)
        return 1;
    if (r < 90)
        return 0;
    if (r < 97)
        return 2;
    return kNull;
}

int liveUpdateFlag(Rng& rng) {
    const int r = rng.below(10);
    return r < 7 ? 0 : (r < 9 ? 1 : 2);
}

using Five = std::array<QVariant, 5>;

// Five prices of a priced slot: at least one is non-zero.
Five pricedFive(Rng& rng, int base) {
    Five p{base, rng.chance(70) ? QVariant(base + 540 * (1 + rng.below(3))) : QVariant(0),
           rng.chance(40) ? QVariant(base + 2160) : QVariant(0), rng.chance(15) ? kNull : 0,
           rng.chance(20) ? kNull : 0};
    if (rng.chance(5)) { // priced only further right
        p[2] = base;
        p[0] = rng.chance(50) ? kNull : 0;
    }
    return p;
}

QVariant emptyPrice(Rng& rng) {
    return rng.chance(25) ? kNull : QVariant(0);
}

Five emptyFive(Rng& rng) {
    Five p;
    for (auto& v : p)
        v = emptyPrice(rng);
    return p;
}

// The 10 %-inclusive counterpart, as a converted slot would hold it.
QVariant converted(const QVariant& price) {
    if (price.isNull())
        return price;
    const int v = price.toInt();
    return v * 110 / 108 / 10 * 10;
}

Five convertedFive(const Five& p) {
    Five q;
    for (std::size_t i = 0; i < p.size(); ++i)
        q[i] = converted(p[i]);
    return q;
}

// Which slots row i of a store gets.
struct RowSlots {
    bool a = false;
    bool b = false;
    bool deleted = false;
};

RowSlots rowSlots(Slots state, int i, int deletedEvery, Rng& rng) {
    if (deletedEvery > 0 && i % deletedEvery == deletedEvery - 1)
        return {true, true, true};
    // A few live rows without any price (service items, discontinued goods);
    // the first two rows always follow the menu's slot state.
    if (i >= 2 && rng.chance(8))
        return {};
    switch (state) {
    case Slots::A:
        return {true, false, false};
    case Slots::B:
        return {false, true, false};
    case Slots::Both:
        return {true, true, false};
    case Slots::Mixed:
        return {i % 2 == 0, i % 2 != 0, false};
    case Slots::None:
        break;
    }
    return {};
}

void writeMtgiju(SqliteFile& file, const Options& o, const std::vector<std::int16_t>& stores,
                 Rng& rng) {
    Insert ins(file, QStringLiteral("INSERT INTO MTGIJU VALUES "
                                    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    const int count = static_cast<int>(kMenu.size());
    for (const std::int16_t store : stores) {
        for (int i = 0; i < o.technicalRows; ++i) {
            const MenuItem& item = kMenu[static_cast<std::size_t>(i % count)];
            const RowSlots s = rowSlots(o.technicalSlots, i, o.deletedEvery, rng);
            const int base = kMenuBase[static_cast<std::size_t>(rng.below(kMenuBase.size()))];
            const Five priced = pricedFive(rng, base);
            const Five a = s.a ? priced : emptyFive(rng);
            const Five b = s.b ? (s.a ? convertedFive(priced) : priced) : emptyFive(rng);
            ins.row(1, static_cast<int>(store), i + 1, item.shumoku, numbered(item.name, i, count),
                    randomTaxFlg(rng), a[0], a[1], a[2], a[3], a[4], b[0], b[1], b[2], b[3], b[4],
                    s.deleted ? 9 : liveUpdateFlag(rng), randomDate(rng));
        }
    }
}

void writeMttenp(SqliteFile& file, const Options& o, const std::vector<std::int16_t>& stores,
                 Rng& rng) {
    Insert ins(file, QStringLiteral("INSERT INTO MTTENP VALUES (?,?,?,?,?,?,?,?,?,?)"));
    const int count = static_cast<int>(kRetail.size());
    for (const std::int16_t store : stores) {
        for (int i = 0; i < o.retailRows; ++i) {
            const RowSlots s = rowSlots(o.retailSlots, i, o.deletedEvery, rng);
            const int base = kRetailBase[static_cast<std::size_t>(rng.below(kRetailBase.size()))];
            const QVariant a = s.a ? QVariant(base) : emptyPrice(rng);
            const QVariant b = s.b ? (s.a ? converted(base) : QVariant(base)) : emptyPrice(rng);
            const int tenpanFlg = i % 4 == 3 ? 2 : 1;
            ins.row(1, static_cast<int>(store), tenpanFlg, i + 1,
                    numbered(kRetail[static_cast<std::size_t>(i % count)], i, count),
                    randomTaxFlg(rng), a, b, s.deleted ? 9 : liveUpdateFlag(rng), randomDate(rng));
        }
    }
}

QVariant flagValue(const std::optional<std::int16_t>& flag) {
    return flag ? QVariant(static_cast<int>(*flag)) : kNull;
}

void writeMtmise(SqliteFile& file, const Options& o, const std::vector<std::int16_t>& stores,
                 std::int16_t own) {
    Insert ins(file, QStringLiteral("INSERT INTO MTMISE VALUES (?,?,?,?,?,?)"));
    for (std::size_t i = 0; i < stores.size(); ++i) {
        if (stores[i] == own && !o.ownStoreRow)
            continue;
        ins.row(static_cast<int>(stores[i]), storeName(static_cast<int>(i)),
                flagValue(o.technicalSwitchFlag), flagValue(o.retailSwitchFlag), o.processingDate,
                0);
    }
}

void createTables(SqliteFile& file, const char* database) {
    for (const auto& t : schema::tables())
        if (QLatin1String(t.database) == QLatin1String(database))
            file.exec(QString::fromUtf8(t.sqlite));
}

void writeDatabases(const SampleInstall& s, const Options& o) {
    Rng rng(o.seed);
    for (const PosDatabase& database : PosDatabases) {
        const QString name = QString::fromLatin1(database.name);
        if (name == QLatin1String("MSHONB") && !o.headquarters)
            continue;
        SqliteFile file(s.databaseFile(name));
        file.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        file.begin();
        createTables(file, database.name);
        if (name == QLatin1String("MSTORI")) {
            writeMtgiju(file, o, s.storeIds, rng);
            writeMttenp(file, o, s.storeIds, rng);
            writeMtmise(file, o, s.storeIds, s.storeId);
        } else if (name == QLatin1String("MSHONB") && o.headquartersRow) {
            Insert(file, QStringLiteral("INSERT INTO MHSCTB VALUES (?,?,?)"))
                .row(flagValue(o.technicalSwitchFlag), flagValue(o.retailSwitchFlag),
                     o.processingDate);
        } else if (name == QLatin1String("MSLOCL") && o.localRow) {
            Insert(file, QStringLiteral("INSERT INTO MlMsno VALUES (?)"))
                .row(static_cast<int>(o.localStoreId.value_or(s.storeId)));
        } else {
            // An empty database still gets a valid file header.
            file.exec(QStringLiteral("PRAGMA user_version=1"));
        }
        file.commit();
    }
}

void writeIni(const SampleInstall& s, const Options& o, const QString& ownName) {
    const auto omitted = [&](const QString& key) {
        return o.omitIniKeys.contains(key, Qt::CaseInsensitive);
    };
    QStringList lines{
        QStringLiteral("; 美容室 POS システム設定ファイル"),
        QStringLiteral("[SYSTEM]"),
        QStringLiteral("Version=7.20"),
        QStringLiteral("Printer=レシートプリンタ TM-T88"),
        QStringLiteral(""),
        QStringLiteral("[LUMINA]"),
        QStringLiteral("; データベースサーバー"),
    };
    for (const PosDatabase& database : PosDatabases)
        if (!omitted(QString::fromLatin1(database.serverKey)))
            lines << QString::fromLatin1(database.serverKey) + QLatin1Char('=') + o.server;
    if (!omitted(QStringLiteral("MiseID")))
        lines << QStringLiteral("MiseID=") + o.settingsStoreId.value_or(QString::number(s.storeId));
    lines << QStringLiteral("MiseName=") + ownName << QStringLiteral("Timeout=30")
          << QStringLiteral("") << QStringLiteral("[DISPLAY]") << QStringLiteral("Title=サロン管理")
          << QStringLiteral("");

    if (!cp932::isAvailable())
        fail(QStringLiteral("no code page 932 conversion on this system"));
    const QByteArray bytes = cp932::encode(lines.join(QStringLiteral("\r\n")));
    QFile file(s.iniFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write ") + s.iniFile);
}

void makeDir(const QString& path) {
    if (!QDir().mkpath(path))
        fail(QStringLiteral("cannot create ") + path);
}

} // namespace

QString SampleInstall::databaseFile(const QString& database) const {
    return serverDir + QLatin1Char('/') + database.toUpper() + QStringLiteral(".sqlite");
}

void SampleInstall::applyEnvironment() const {
    qputenv("TANKA_DRIVE_C", QFile::encodeName(driveC));
    qputenv("TANKA_SQLITE_DIR", QFile::encodeName(sqliteDir));
}

SampleInstall writeSampleInstall(const QString& folder, const Options& options) {
    if (options.storeIds.empty() && options.stores < 1)
        fail(QStringLiteral("at least one store is needed"));
    if (options.technicalRows < 0 || options.retailRows < 0)
        fail(QStringLiteral("row counts must not be negative"));

    SampleInstall s;
    if (options.storeIds.empty()) {
        for (int i = 1; i <= options.stores; ++i)
            s.storeIds.push_back(static_cast<std::int16_t>(i));
    } else {
        s.storeIds = options.storeIds;
    }
    s.storeId = options.storeId != 0 ? options.storeId : s.storeIds.front();

    const ProductFolders f = foldersOf(options.product);
    const QString root = QDir(folder).absolutePath();
    s.driveC = root + QStringLiteral("/C");
    s.installDir = s.driveC + QLatin1Char('/') + QString::fromLatin1(f.install) +
                   (options.headquarters ? QStringLiteral("H") : QString());
    s.workDir = s.installDir + QStringLiteral("/TMP");
    s.sqliteDir = s.installDir + QStringLiteral("/DATA");
    s.server = options.server;
    s.serverDir = s.sqliteDir + QLatin1Char('/') + options.server;
    s.progDir = s.driveC + QLatin1Char('/') + QString::fromLatin1(f.program);
    s.iniFile = s.progDir + QLatin1Char('/') + QString::fromLatin1(f.ini);

    makeDir(s.workDir);
    makeDir(s.serverDir);
    makeDir(s.progDir);
    const QDir serverDir(s.serverDir);
    for (const QString& old : serverDir.entryList({QStringLiteral("*.sqlite*")}, QDir::Files))
        QFile::remove(serverDir.filePath(old));

    writeDatabases(s, options);

    QString ownName = storeName(0);
    for (std::size_t i = 0; i < s.storeIds.size(); ++i)
        if (s.storeIds[i] == s.storeId)
            ownName = storeName(static_cast<int>(i));
    writeIni(s, options, options.headquarters ? QStringLiteral("本部") : ownName);
    return s;
}

void execSql(const QString& sqliteFile, const QStringList& statements) {
    if (!QFile::exists(sqliteFile))
        fail(QStringLiteral("no such database file: ") + sqliteFile);
    SqliteFile file(sqliteFile);
    file.begin();
    for (const QString& sql : statements)
        file.exec(sql);
    file.commit();
}

QString productName(Product product) {
    return QString::fromLatin1(foldersOf(product).install);
}

std::optional<Product> productFromName(const QString& name) {
    for (Product p : {Product::ZEMA, Product::KOTA, Product::MIRO})
        if (name.compare(productName(p), Qt::CaseInsensitive) == 0)
            return p;
    return std::nullopt;
}

QString slotsName(Slots state) {
    switch (state) {
    case Slots::A:
        return QStringLiteral("A");
    case Slots::B:
        return QStringLiteral("B");
    case Slots::Both:
        return QStringLiteral("both");
    case Slots::Mixed:
        return QStringLiteral("mixed");
    case Slots::None:
        break;
    }
    return QStringLiteral("none");
}

std::optional<Slots> slotsFromName(const QString& name) {
    for (Slots s : {Slots::A, Slots::B, Slots::Both, Slots::Mixed, Slots::None})
        if (name.compare(slotsName(s), Qt::CaseInsensitive) == 0)
            return s;
    return std::nullopt;
}

} // namespace tanka::sample
