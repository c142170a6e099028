#include "support/table_dump.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

#include "pricing/price_formula.h"

namespace tanka::test {

QStringList dumpRows(const QString& sqliteFile, const QString& sql) {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("tanka_test_dump_%1").arg(counter++);
    QStringList rows;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(sqliteFile);
        QSqlQuery q(db);
        if (!db.open())
            error = db.lastError().text();
        else if (!q.exec(sql))
            error = q.lastError().text();
        while (error.isEmpty() && q.next()) {
            QStringList cols;
            for (int i = 0; i < q.record().count(); ++i)
                cols << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            rows << cols.join(u'\t');
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
    return rows;
}

void PrintTo(const PriceRow& row, std::ostream* os) {
    *os << row.key.toStdString() << " tax " << row.taxFlg.toStdString() << " flg "
        << row.lastUpdateFlag.toStdString() << " A " << row.a.join(u' ').toStdString() << " B "
        << row.b.join(u' ').toStdString();
}

namespace {

// The columns a PriceRow is made of, in its order.
QStringList priceColumns(PriceTable table) {
    if (table == PriceTable::Retail)
        return {"MiseID",         "TenpanFlg", "TenpanID", "TaxFlg",
                "SaisyuKosinFlg", "UriTankaA", "UriTankaB"};
    QStringList columns{"MiseID", "GijutuID", "ShumokuID", "TaxFlg", "SaisyuKosinFlg"};
    for (const char* slot : {"TankaA", "TankaB"})
        for (int i = 1; i <= 5; ++i)
            columns << QString::fromLatin1(slot) + QString::number(i);
    return columns;
}

// A row of priceColumns() as text, Null as "<null>".
PriceRow priceRow(const QStringList& c) {
    const qsizetype perSlot = (c.size() - 5) / 2;
    return {c.mid(0, 3).join(u'/'),     c[0].toInt(), c[3], c[4], c.mid(5, perSlot),
            c.mid(5 + perSlot, perSlot)};
}

// A stored price as the conversion reads it: Null reads as 0.
std::int32_t priceOf(const QString& text) {
    return text == QLatin1String("<null>") ? 0 : static_cast<std::int32_t>(text.toDouble());
}

} // namespace

std::vector<PriceRow> readPriceRows(const QString& mstoriFile, PriceTable table) {
    const bool technical = table == PriceTable::Technical;
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 ORDER BY GlobalID, %3")
            .arg(priceColumns(table).join(u','), technical ? "MTGIJU" : "MTTENP",
                 technical ? "MiseID, GijutuID, ShumokuID" : "MiseID, TenpanFlg, TenpanID");
    std::vector<PriceRow> rows;
    for (const QString& line : dumpRows(mstoriFile, sql))
        rows.push_back(priceRow(line.split(u'\t')));
    return rows;
}

QStringList dumpDatabases(const QString& serverDir) {
    QStringList lines;
    const QStringList files =
        QDir(serverDir).entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString path = QDir(serverDir).filePath(file);
        const QStringList tables = dumpRows(
            path,
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
        for (const QString& table : tables) {
            QStringList rows = dumpRows(path, QStringLiteral("SELECT * FROM \"%1\"").arg(table));
            rows.sort();
            for (const QString& row : rows)
                lines << file + u'\t' + table + u'\t' + row;
        }
    }
    return lines;
}

int expectConverted(const std::vector<PriceRow>& before, const std::vector<PriceRow>& after,
                    const Conversion& c) {
    EXPECT_EQ(after.size(), before.size());
    int changed = 0;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        const PriceRow& was = before[i];
        const PriceRow& now = after[i];
        const bool chosen = c.stores.empty() || std::ranges::count(c.stores, was.store) > 0;
        if (!chosen || was.lastUpdateFlag == QLatin1String("9")) {
            EXPECT_EQ(now, was);
            continue;
        }
        SCOPED_TRACE(was.key.toStdString());
        EXPECT_EQ(now.key, was.key);
        const auto convert = [&](const QString& price) {
            const std::int32_t p = priceOf(price);
            return was.taxFlg == QLatin1String("1")
                       ? convertPrice(p, static_cast<ConversionKind>(c.kind),
                                      static_cast<RoundingMethod>(c.roundingMethod),
                                      static_cast<RoundingUnit>(c.roundingUnit))
                       : p;
        };
        const QStringList* slotsBefore[] = {&was.a, &was.b};
        const QStringList* slotsAfter[] = {&now.a, &now.b};
        for (int slot = 0; slot < 2; ++slot) {
            const QStringList& from = *slotsBefore[c.dst < 0 ? slot : c.src];
            const QStringList& to = *slotsAfter[slot];
            const bool written = c.dst < 0 || slot == c.dst;
            for (qsizetype p = 0; p < from.size(); ++p) {
                const std::int32_t expected = written ? convert(from[p]) : priceOf(from[p]);
                EXPECT_EQ(priceOf(to.value(p)), expected) << "slot " << slot << " price " << p + 1;
                changed += expected != priceOf(from[p]);
            }
        }
    }
    return changed;
}

} // namespace tanka::test
