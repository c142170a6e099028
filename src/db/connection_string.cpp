#include "db/connection_string.h"

namespace tanka {

bool isSafeConnectionValue(const QString& value) {
    for (const QChar c : value)
        if (c == u';' || c == u'"' || c == u'{' || c == u'}' || c == u'=')
            return false;
    return true;
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
