// Reading SQL text, on statements as the program and the embedded server see
// them: object names translated to the attached databases, the shape of a
// single-table select, and the normalised form of fixed queries.
#include <gtest/gtest.h>

#include "db/sql_text.h"

namespace tanka {
namespace {

using namespace sqltext;

// The embedded server's translation, connected to MSKYAK: a name without a
// database, or naming MSKYAK, is the main database; others are attached
// under their upper-case name.
QString translated(const QString& sql) {
    return replaceObjectNames(sql, [](const ObjectName& name) {
        const QString database = name.database.isEmpty() ? "MSKYAK" : name.database.toUpper();
        return (database == "MSKYAK" ? QStringLiteral("main") : quoteIdentifier(database)) + u'.' +
               quoteIdentifier(name.object);
    });
}

TEST(SqlText, ObjectNamesBecomeTheAttachedDatabasesTables) {
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"select count(*) from mstori.DBO.mtgiju", "select count(*) from [MSTORI].[mtgiju]"},
        {"SELECT * FROM [MSTORI].[dbo].[MTTENP] T WHERE T.MiseID = 1",
         "SELECT * FROM [MSTORI].[MTTENP] T WHERE T.MiseID = 1"},
        {"select * from MSTORI..MTMISE M join MTGIJU G on G.MiseID = M.MiseID",
         "select * from [MSTORI].[MTMISE] M join main.[MTGIJU] G on G.MiseID = M.MiseID"},
        {"insert into MSKYAK.dbo.MKKYAK values (1)", "insert into main.[MKKYAK] values (1)"},
        // Literals and comments stay as written.
        {"select 'MSHONB.dbo.MHSCTB' from dbo.MTGIJU -- MSTORI.dbo.MTGIJU",
         "select 'MSHONB.dbo.MHSCTB' from main.[MTGIJU] -- MSTORI.dbo.MTGIJU"},
        // A table-valued function after a comma of a FROM list is no table.
        {"update MTGIJU set TankaB1 = (select 1 from MTTENP, json_each('[1]'))",
         "update main.[MTGIJU] set TankaB1 = (select 1 from main.[MTTENP], json_each('[1]'))"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(translated(QString::fromUtf8(c.sql)), QString::fromUtf8(c.expected));
}

TEST(SqlText, SingleTableSelectsAndTheirTableName) {
    const struct {
        const char* sql;
        const char* parts; // the table's parts joined by '|'; nullptr: not a single-table select
    } cases[] = {
        {"SELECT * From MSTORI.dbo.V  ORDER BY id;", "MSTORI|dbo|V"},
        {"select a from [MSTORI]..[MTGIJU] as G where a = 1", "MSTORI||MTGIJU"},
        {"select distinct a from T", nullptr},
        {"select a from T, U", nullptr},
        {"select a from T join U on 1 = 1", nullptr},
        {"select count(*) from T group by a", nullptr},
    };
    for (const auto& c : cases) {
        const auto select = singleTableSelect(QString::fromUtf8(c.sql));
        EXPECT_EQ(select ? select->tableParts.join(u'|') : QStringLiteral("none"),
                  QString::fromUtf8(c.parts ? c.parts : "none"))
            << c.sql;
    }
}

TEST(SqlText, QuotingAndNormalisedText) {
    EXPECT_EQ(quoteIdentifier("a]b"), "[a]]b]");
    EXPECT_EQ(unquoteIdentifier("[a]]b]"), "a]b");
    EXPECT_EQ(unquoteIdentifier("\"x\"\"y\""), "x\"y");
    EXPECT_EQ(normalized("  SELECT\t@@Version\r\n ; "), "select @@version");
}

} // namespace
} // namespace tanka
