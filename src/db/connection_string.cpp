#include "db/connection_string.h"

#include <QStringList>

namespace tanka {

namespace {

QString unquoted(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

// Splits on ';' outside quoted values.
QStringList splitPairs(const QString& text) {
    QStringList pairs;
    QString current;
    QChar quote;
    bool afterEquals = false;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u';') {
            pairs << current;
            current.clear();
            afterEquals = false;
            continue;
        }
        if (c == u'=')
            afterEquals = true;
        else if (afterEquals && (c == u'"' || c == u'\'') &&
                 current.section(u'=', 1).trimmed().isEmpty())
            quote = c;
        current += c;
    }
    if (!current.trimmed().isEmpty())
        pairs << current;
    return pairs;
}

} // namespace

ConnectionParams parseConnectionString(const QString& text) {
    ConnectionParams params;
    for (const QString& pair : splitPairs(text)) {
        const qsizetype eq = pair.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = pair.left(eq).simplified().toLower();
        const QString value = unquoted(pair.mid(eq + 1).trimmed());
        if (key == u"provider")
            params.provider = value;
        else if (key == u"server" || key == u"data source" || key == u"address" || key == u"addr" ||
                 key == u"network address")
            params.server = value;
        else if (key == u"uid" || key == u"user id")
            params.uid = value;
        else if (key == u"pwd" || key == u"password")
            params.pwd = value;
        else if (key == u"database" || key == u"initial catalog")
            params.database = value;
    }
    return params;
}

QString odbcQuote(const QString& value) {
    QString quoted = value;
    quoted.replace(u'}', QStringLiteral("}}"));
    return u'{' + quoted + u'}';
}

QString odbcConnectionString(const QString& driver, const ConnectionParams& params) {
    const QString server = params.server.isEmpty() ? QStringLiteral("(local)") : params.server;
    QString text = QStringLiteral("DRIVER=%1;SERVER=%2;UID=%3;PWD=%4;DATABASE=%5;")
                       .arg(odbcQuote(driver), odbcQuote(server), odbcQuote(params.uid),
                            odbcQuote(params.pwd), odbcQuote(params.database));
    // FreeTDS left to choose the protocol falls back to Sybase's after a
    // failed SQL Server login, and that attempt does not end on a silent host.
    // Every SQL Server answers a 7.4 login with the version it speaks.
    if (driver.contains(u"freetds", Qt::CaseInsensitive))
        text += QStringLiteral("TDS_Version=7.4;");
    return text;
}

QString odbcDriverName() {
    const QString name = qEnvironmentVariable("TANKA_ODBC_DRIVER");
    if (!name.isEmpty())
        return name;
#ifdef Q_OS_WIN
    return QStringLiteral("SQL Server");
#else
    return QStringLiteral("FreeTDS");
#endif
}

} // namespace tanka
