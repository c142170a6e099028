#include "app/check_setting.h"

#include <memory>

#include "core/field_readers.h"
#include "db/connect.h"
#include "db/connection.h"
#include "db/connection_string.h"
#include "db/recordset.h"

namespace tanka {

void Check_Setting(Globals& g, const InstallContext& ctx, MessageBoxes& boxes, int commandTimeout) {
    g.SvTori = Get_IniData(g, ctx, QStringLiteral("MsTori"));
    g.SvJsho = Get_IniData(g, ctx, QStringLiteral("MSJsho"));
    g.SvKyak = Get_IniData(g, ctx, QStringLiteral("MsKyak"));
    g.SvUria = Get_IniData(g, ctx, QStringLiteral("MsUria"));
    g.SvLocl = Get_IniData(g, ctx, QStringLiteral("MsLocl"));
    g.SvHonb = Get_IniData(g, ctx, QStringLiteral("MsHonb"));

    // The texts name ZEMA.ini whatever the product line; each ends with a blank.
    const std::pair<const QString*, QString> lines[] = {
        {&g.SvTori, QStringLiteral("ZEMA.ini MsToriの設定が違います ")},
        {&g.SvJsho, QStringLiteral("ZEMA.ini Msjshoの設定が違います ")},
        {&g.SvKyak, QStringLiteral("ZEMA.ini Mskyakの設定が違います ")},
        {&g.SvUria, QStringLiteral("ZEMA.ini Msuriaの設定が違います ")},
        {&g.SvLocl, QStringLiteral("ZEMA.ini Msloclの設定が違います ")},
        {&g.SvHonb, QStringLiteral("ZEMA.ini Mshonbの設定が違います ")},
    };
    // A name holding a character of the connection syntax is as wrong as an
    // empty one: it is named in the same message and never used.
    QString message;
    for (const auto& [server, line] : lines)
        if (server->isEmpty() || !isSafeConnectionValue(*server))
            message += line + *server + QStringLiteral("\r\n");
    if (!message.isEmpty()) {
        boxes.show(message, MsgButtons::Ok, MsgIcon::None, QStringLiteral("Common"));
        return;
    }

    g.LoginID = QStringLiteral("ORBE-TLX-MEMBER");
    g.LoginPW = QStringLiteral("QDR615");

    auto cn = std::make_unique<Connection>();
    cn->setConnectionTimeout(15);
    cn->setCommandTimeout(commandTimeout);
    QString ErrMsg;
    if (Open_CN(4, cn.get(), ErrMsg, g).ok()) {
        // Errors of the query itself reach start-up; the connection is
        // released on the way out either way.
        auto rs = cn->executeQuery(QStringLiteral("Select * from MlMsno"));
        // A table without rows leaves the store number as it was.
        if (!rs->isEOF()) {
            const std::int16_t local = Get_IntVal(rs->value(QStringLiteral("MiseID")));
            if (g.MyMiseID == 0)
                g.MyMiseID = local;
        }
        rs->close();
    }
    Close_CN(cn);
}

} // namespace tanka
