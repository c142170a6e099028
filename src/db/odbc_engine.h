#pragma once
// SQL Server through Qt's ODBC driver. The connection string is translated
// into an ODBC one with every value brace-quoted; the login timeout is always
// set (without one, a silent host would hold the program for ever).
//
// The session is set up right after the login: SET NOCOUNT OFF, so that every
// UPDATE reports its row count (the optimistic write finds a conflict by a
// short count, and a server whose "user options" turn NOCOUNT on would
// otherwise report none), and SET LOCK_TIMEOUT for the command timeout.
//
// The command timeout: Qt gives no access to the statement attribute, so a
// statement itself runs without a limit; what the program waits for in
// practice is another session's lock, and that wait is bounded by the
// session's LOCK_TIMEOUT (0 = no limit), whose expiry (1222) is raised as the
// layer's timeout.

#include "db/engine.h"

namespace tanka {

class OdbcEngine final : public Engine {
public:
    explicit OdbcEngine(QString driver);

    QString driverName() const override { return QStringLiteral("QODBC"); }
    void open(QSqlDatabase& db, const ConnectionParams& params, int loginTimeout,
              int commandTimeout) override;
    void setCommandTimeout(QSqlDatabase& db, int seconds) override;
    RunError error(const QSqlError& e) const override;
    // Drivers bind a date as datetime2; from compatibility level 130 on,
    // SQL Server compares a datetime column with it at datetime2 precision,
    // so a value read back from the column would no longer equal it.
    QString dateParameter() const override { return QStringLiteral("CAST(? AS datetime)"); }

    // The connect options handed to Qt: the login timeout in seconds (15 when
    // none or a negative one is given; 0 would mean no limit and is refused).
    static QString connectOptions(int loginTimeout);

    // The text of a failed ODBC call's first diagnostic record, the driver's
    // own text when the record has none.
    static QString diagnosticText(const QSqlError& e);

private:
    void run(QSqlDatabase& db, const QString& sql) const;

    QString m_driver;
};

} // namespace tanka
