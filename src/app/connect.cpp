#include "app/connect.h"

#include "core/databases.h"
#include "db/db_errors.h"

namespace tanka {

namespace {

const QString kObjectNotSet = QStringLiteral("Object variable or With block variable not set");

} // namespace

void Get_DBName(std::int32_t index, QString& DbName, QString& SvName, const Globals& g) {
    const auto servers = g.servers();
    if (index >= 0 && index <= 5) {
        DbName = QString::fromLatin1(PosDatabases[static_cast<std::size_t>(index)].name);
        SvName = *servers[static_cast<std::size_t>(index)];
    } else if (index >= 1000 && index <= 1005) {
        DbName = QStringLiteral("Master");
        SvName = *servers[static_cast<std::size_t>(index - 1000)];
    } else {
        DbName.clear();
        SvName.clear();
    }
}

ConnectionParams Get_ConnectParams(std::int32_t index, const Globals& g) {
    ConnectionParams params;
    Get_DBName(index, params.database, params.server, g);
    params.uid = g.LoginID;
    params.pwd = g.LoginPW;
    return params;
}

CnStatus Open_CN(std::int32_t index, Connection* cn, QString& ErrMsg, const Globals& g) {
    ErrMsg.clear();
    if (!cn) {
        ErrMsg = kObjectNotSet + QStringLiteral("コネクション用のインスタンスが作成されていません");
        return CnStatus::failure(err::ObjectNotSet);
    }
    // A failure to set the pieces (the connection is open) is raised, not returned.
    cn->setConnectionParams(Get_ConnectParams(index, g));
    try {
        cn->open();
        return CnStatus::success();
    } catch (const RunError& e) {
        ErrMsg = QString::fromStdString(e.description());
        if (e.number() == err::ObjectNotSet)
            ErrMsg += QStringLiteral("コネクション用のインスタンスが作成されていません");
        return CnStatus::failure(e.number());
    }
}

CnStatus Close_CN(std::unique_ptr<Connection>& cn, QString* ErrMsg) {
    CnStatus status = CnStatus::success();
    QString text;
    try {
        if (!cn)
            dberr::raise(err::ObjectNotSet, kObjectNotSet);
        cn->close();
    } catch (const RunError& e) {
        status = CnStatus::failure(e.number());
        text = QString::fromStdString(e.description());
    } catch (const std::exception& e) {
        status = CnStatus::failure(dberr::Fail);
        text = QString::fromUtf8(e.what());
    }
    // Released in every case; the destructor closes whatever is still open.
    cn.reset();
    if (!status.ok() && ErrMsg)
        *ErrMsg = text;
    return status;
}

void L_Start_CN(std::unique_ptr<Connection>& cn, const Globals& g, int commandTimeout) {
    try {
        cn = std::make_unique<Connection>();
        cn->setCommandTimeout(commandTimeout);
        QString ErrMsg;
        Open_CN(2, cn.get(), ErrMsg, g);
    } catch (const std::exception&) {
        Close_CN(cn);
    }
}

void L_End_CN(std::unique_ptr<Connection>& cn) {
    Close_CN(cn);
}

} // namespace tanka
