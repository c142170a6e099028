#pragma once
// Reading SQL text far enough for the layer's needs: finding object names of
// the form db.schema.object outside literals and comments, recognising a
// select from one single table, and a normalised form for matching fixed
// query texts.

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

namespace tanka::sqltext {

// Lower case, runs of blanks/tabs/line breaks as one blank, trimmed, a final
// ';' dropped.
QString normalized(const QString& sql);

// An identifier without its [..] or ".." quoting.
QString unquoteIdentifier(const QString& token);
// [name] with ']' doubled: a quoted identifier for both engines.
QString quoteIdentifier(const QString& name);

struct ObjectName {
    QString database; // unquoted; empty for a name without one
    QString schema;   // unquoted; empty for db..object and for a bare name
    QString object;   // unquoted
    QString text;     // as written
};

// Replaces by what replace() returns:
//  - every three-part name (three dot-separated identifiers, or db..object),
//    wherever it stands;
//  - every table named without a database (object or dbo.object) where a
//    statement names its tables: after FROM, JOIN, UPDATE, INTO and after a
//    comma of a FROM list (not a table-valued function call).
// Literals, comments and other names stay as written. replace() may throw.
QString replaceObjectNames(const QString& sql,
                           const std::function<QString(const ObjectName&)>& replace);

// "select <list> from <table> [[as] alias] [where ...] [order by ...]" with no
// join, second table, grouping, DISTINCT or TOP: the shape of a query whose
// columns are the table's own.
struct SingleTableSelect {
    QStringList tableParts; // unquoted parts of the table name
};
std::optional<SingleTableSelect> singleTableSelect(const QString& sql);

} // namespace tanka::sqltext
