// Reading SQL text: which names get rewritten, and which selects can be
// written back to their table.
#include <gtest/gtest.h>

#include "db/sql_text.h"

namespace tanka::sqltext {
namespace {

// Each replaced name shown as <database|schema|object>.
QString marked(const QString& sql) {
    return replaceObjectNames(sql, [](const ObjectName& n) {
        return QStringLiteral("<%1|%2|%3>").arg(n.database, n.schema, n.object);
    });
}

TEST(ObjectNames, QualifiedEverywhereAndBareOnlyWhereTablesAreNamed) {
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {" select * from MSTORI.dbo.MTGIJU G  Where  G.SaisyuKosinFlg <> 9 ",
         " select * from <MSTORI|dbo|MTGIJU> G  Where  G.SaisyuKosinFlg <> 9 "},
        {"select * from [MS TORI].[dbo].[MT]]GIJU]", "select * from <MS TORI|dbo|MT]GIJU>"},
        {"select * from MSTORI..MTMISE", "select * from <MSTORI||MTMISE>"},
        {"select * from MlMsno", "select * from <||MlMsno>"},
        {"select a.b, c.d.e.f from T", "select a.b, c.d.e.f from <||T>"},
        {"select 'MSHONB.dbo.MHSCTB', x -- MSTORI.dbo.T\n from T",
         "select 'MSHONB.dbo.MHSCTB', x -- MSTORI.dbo.T\n from <||T>"},
        {"select * from A a, B b join C on a.x = b.x, D where y in (select z from E, F)",
         "select * from <||A> a, <||B> b join <||C> on a.x = b.x, <||D> where y in (select z "
         "from <||E>, <||F>)"},
        {"select * from pragma_table_info('T')", "select * from pragma_table_info('T')"},
        {"select * from (select 1) s", "select * from (select 1) s"},
        {"update MTMISE set a = 1", "update <||MTMISE> set a = 1"},
        {"insert into MSKYAK.dbo.MKKYAK values (1)", "insert into <MSKYAK|dbo|MKKYAK> values (1)"},
        {"delete from T where x = 'from Y'", "delete from <||T> where x = 'from Y'"},
        {"select @@version", "select @@version"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(marked(QString::fromUtf8(c.sql)).toStdString(), c.expected);
}

TEST(SingleTable, OnlySelectsFromOneTableAreWritable) {
    const struct {
        const char* sql;
        bool single;
        const char* table;
        const char* alias;
        const char* list;
    } cases[] = {
        {" select * from MSTORI.dbo.MTGIJU G  Where  G.SaisyuKosinFlg <> 9  and miseid = 3 ", true,
         "MSTORI.dbo.MTGIJU", "G", "*"},
        {"SELECT * From MSTORI.dbo.MTTENP  ORDER BY GlobalID, MiseID, TenpanFlg, TenpanID", true,
         "MSTORI.dbo.MTTENP", "", "*"},
        {"select G.*, 1 from [main].[MTGIJU] as G where x in (select y from Z, W)", true,
         "[main].[MTGIJU]", "G", "G.*, 1"},
        {"select * from T;", true, "T", "", "*"},
        {"select * from A, B", false, "", "", ""},
        {"select distinct * from A", false, "", "", ""},
        {"select count(*) from A group by x", false, "", "", ""},
        {"select * from A union select * from B", false, "", "", ""},
        {"select * from (select * from A) s", false, "", "", ""},
        {"select 1", false, "", "", ""},
    };
    for (const auto& c : cases) {
        const auto shape = singleTableSelect(QString::fromUtf8(c.sql));
        ASSERT_EQ(shape.has_value(), c.single) << c.sql;
        if (!shape)
            continue;
        EXPECT_EQ(shape->table, QString::fromUtf8(c.table)) << c.sql;
        EXPECT_EQ(shape->alias, QString::fromUtf8(c.alias)) << c.sql;
        EXPECT_EQ(shape->selectList, QString::fromUtf8(c.list)) << c.sql;
    }
    EXPECT_EQ(singleTableSelect(QStringLiteral("select * from [MS TORI].dbo.MTGIJU"))->tableParts,
              (QStringList{"MS TORI", "dbo", "MTGIJU"}));
    EXPECT_EQ(singleTableSelect(QStringLiteral("select * from X..T"))->tableParts,
              (QStringList{"X", "", "T"}));
}

} // namespace
} // namespace tanka::sqltext
