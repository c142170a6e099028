#include "support/table_dump.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

#include "pricing/keisan.h"

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
        << row.kosinFlg.toStdString() << " A " << row.a.join(u' ').toStdString() << " B "
        << row.b.join(u' ').toStdString();
}

std::vector<PriceRow> readPriceRows(const QString& mstoriFile, PriceTable table) {
    const bool giju = table == PriceTable::Giju;
    const QString sql =
        giju ? QStringLiteral("SELECT MiseID, GijutuID, ShumokuID, TaxFlg, SaisyuKosinFlg, "
                              "TankaA1, TankaA2, TankaA3, TankaA4, TankaA5, TankaB1, TankaB2, "
                              "TankaB3, TankaB4, TankaB5 FROM MTGIJU "
                              "ORDER BY GlobalID, MiseID, GijutuID, ShumokuID")
             : QStringLiteral("SELECT MiseID, TenpanFlg, TenpanID, TaxFlg, SaisyuKosinFlg, "
                              "UriTankaA, UriTankaB FROM MTTENP "
                              "ORDER BY GlobalID, MiseID, TenpanFlg, TenpanID");
    const int perSlot = giju ? 5 : 1;
    std::vector<PriceRow> rows;
    for (const QString& line : dumpRows(mstoriFile, sql)) {
        const QStringList c = line.split(u'\t');
        rows.push_back({c.mid(0, 3).join(u'/'), c[0].toInt(), c[3], c[4], c.mid(5, perSlot),
                        c.mid(5 + perSlot, perSlot)});
    }
    return rows;
}

namespace {

// A stored price as the conversion reads it: Null reads as 0.
std::int32_t priceOf(const QString& text) {
    return text == QLatin1String("<null>") ? 0 : static_cast<std::int32_t>(text.toDouble());
}

} // namespace

int expectConverted(const std::vector<PriceRow>& before, const std::vector<PriceRow>& after,
                    const Conversion& c) {
    EXPECT_EQ(after.size(), before.size());
    int changed = 0;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        const PriceRow& was = before[i];
        const PriceRow& now = after[i];
        const bool chosen = c.stores.empty() || std::ranges::count(c.stores, was.mise) > 0;
        if (!chosen || was.kosinFlg == QLatin1String("9")) {
            EXPECT_EQ(now, was);
            continue;
        }
        SCOPED_TRACE(was.key.toStdString());
        EXPECT_EQ(now.key, was.key);
        const auto convert = [&](const QString& price) {
            const std::int32_t p = priceOf(price);
            return was.taxFlg == QLatin1String("1") ? Keisan(p, c.kind, c.HasuMode, c.HasuTani) : p;
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
