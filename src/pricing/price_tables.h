#pragma once
// The two price tables of the store-master database, described once: how
// statements name them, their keys in order, their price columns per slot and
// which rows are live. Every statement on them is built from here.

#include <QString>
#include <QStringList>

namespace tanka {

// The technical-service menu (MTGIJU) or the retail products (MTTENP).
enum class Menu { Technical, Retail };

// A technical-menu row has five prices per slot, a retail row one.
inline constexpr int MaxPositions = 5;

// How statements name a table of the store-master database:
// "MSTORI.dbo.MTMISE".
QString storeMasterTable(const QString& table);

// "MTGIJU" or "MTTENP".
QString tableName(Menu menu);
// "MSTORI.dbo.MTGIJU" or "MSTORI.dbo.MTTENP".
QString qualifiedName(Menu menu);
// The name a statement gives the table's rows: "G" or "T".
QString tableAlias(Menu menu);
// The primary key of the table, in key order.
QStringList keyColumns(Menu menu);

int pricePositions(Menu menu);
// Column of slot 0 (A) or 1 (B) at position 0..pricePositions-1:
// "TankaA1".."TankaB5" or "UriTankaA"/"UriTankaB".
QString priceColumn(Menu menu, int slot, int position);
// Every column a run may write into the table: the prices of both slots,
// then SaisyuKosinFlg and SaisyuKosinDate.
QStringList writableColumns(Menu menu);

// The live rows of the table: those the point-of-sale program has not
// deleted (SaisyuKosinFlg 9), narrowed by conditions (each starting with
// " and "). liveRowsFrom gives " from MSTORI.dbo.MTGIJU G ", liveRowsWhere
// " Where  G.SaisyuKosinFlg <> 9 " + conditions, liveRowsQuery " select * "
// and both.
QString liveRowsFrom(Menu menu);
QString liveRowsWhere(Menu menu, const QString& conditions);
QString liveRowsQuery(Menu menu, const QString& conditions);

// " and (G.TankaA1 <> 0 or ... or G.TankaA5 <> 0) ": a price of the slot is
// set.
QString anyPriceSet(Menu menu, int slot);

} // namespace tanka
