#include "app/connect.h"

#include "core/databases.h"
#include "db/db_errors.h"

namespace tanka {

namespace {

const QString kObjectNotSet = QStringLiteral("Object variable or With block variable not set");

} // namespace

void databaseAndServer(std::int32_t index, QString& databaseName, QString& serverName,
                       const Globals& g) {
    const auto& servers = g.servers;
    if (index >= 0 && index <= 5) {
        databaseName = QString::fromLatin1(PosDatabases[static_cast<std::size_t>(index)].name);
        serverName = servers[static_cast<std::size_t>(index)];
    } else if (index >= 1000 && index <= 1005) {
        databaseName = QStringLiteral("Master");
        serverName = servers[static_cast<std::size_t>(index - 1000)];
    } else {
        databaseName.clear();
        serverName.clear();
    }
}

ConnectionParams connectionParamsFor(std::int32_t index, const Globals& g) {
    ConnectionParams params;
    databaseAndServer(index, params.database, params.server, g);
    params.uid = g.login;
    params.pwd = g.password;
    return params;
}

ConnectionResult openConnection(std::int32_t index, Connection* cn, QString& failureText,
                                const Globals& g) {
    failureText.clear();
    if (!cn) {
        failureText =
            kObjectNotSet + QStringLiteral("コネクション用のインスタンスが作成されていません");
        return ConnectionResult::failure(err::ObjectNotSet);
    }
    // A failure to set the pieces (the connection is open) is raised, not returned.
    cn->setConnectionParams(connectionParamsFor(index, g));
    try {
        cn->open();
        return ConnectionResult::success();
    } catch (const RunError& e) {
        failureText = QString::fromStdString(e.description());
        if (e.number() == err::ObjectNotSet)
            failureText += QStringLiteral("コネクション用のインスタンスが作成されていません");
        return ConnectionResult::failure(e.number());
    }
}

ConnectionResult closeConnection(std::unique_ptr<Connection>& cn, QString* failureText) {
    ConnectionResult status = ConnectionResult::success();
    QString text;
    try {
        if (!cn)
            dberr::raise(err::ObjectNotSet, kObjectNotSet);
        cn->close();
    } catch (const RunError& e) {
        status = ConnectionResult::failure(e.number());
        text = QString::fromStdString(e.description());
    } catch (const std::exception& e) {
        status = ConnectionResult::failure(dberr::Fail);
        text = QString::fromUtf8(e.what());
    }
    // Released in every case; the destructor closes whatever is still open.
    cn.reset();
    if (!status.ok() && failureText)
        *failureText = text;
    return status;
}

void openProgramConnection(std::unique_ptr<Connection>& cn, const Globals& g, int commandTimeout) {
    try {
        cn = std::make_unique<Connection>();
        cn->setCommandTimeout(commandTimeout);
        QString failureText;
        openConnection(2, cn.get(), failureText, g);
    } catch (const std::exception&) {
        closeConnection(cn);
    }
}

void closeProgramConnection(std::unique_ptr<Connection>& cn) {
    closeConnection(cn);
}

} // namespace tanka
