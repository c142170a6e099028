#include "app/check_setting.h"

#include <array>
#include <memory>

#include "app/connect.h"
#include "core/databases.h"
#include "core/field_readers.h"
#include "db/connection.h"
#include "db/connection_string.h"
#include "db/recordset.h"

namespace tanka {

void checkSettings(Globals& g, const InstallContext& ctx, MessageBoxes& boxes, int commandTimeout) {
    auto& servers = g.servers;
    for (std::size_t i = 0; i < PosDatabases.size(); ++i)
        servers[i] = readSetting(g, ctx, QString::fromLatin1(PosDatabases[i].serverKey));

    // One line per database, in index order. The texts name ZEMA.ini whatever
    // the product line and spell the keys their own way; each ends with a blank.
    const std::array<QString, 6> lines = {
        QStringLiteral("ZEMA.ini MsToriの設定が違います "),
        QStringLiteral("ZEMA.ini Msjshoの設定が違います "),
        QStringLiteral("ZEMA.ini Mskyakの設定が違います "),
        QStringLiteral("ZEMA.ini Msuriaの設定が違います "),
        QStringLiteral("ZEMA.ini Msloclの設定が違います "),
        QStringLiteral("ZEMA.ini Mshonbの設定が違います "),
    };
    // A name holding a character of the connection syntax is as wrong as an
    // empty one: it is named in the same message and never used.
    QString message;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (servers[i].isEmpty() || !isSafeConnectionValue(servers[i]))
            message += lines[i] + servers[i] + QStringLiteral("\r\n");
    if (!message.isEmpty()) {
        boxes.show(message, MsgButtons::Ok, MsgIcon::None, QStringLiteral("Common"));
        return;
    }

    g.login = QStringLiteral("ORBE-TLX-MEMBER");
    g.password = QStringLiteral("QDR615");

    auto cn = std::make_unique<Connection>();
    cn->setConnectionTimeout(15);
    cn->setCommandTimeout(commandTimeout);
    QString failureText;
    if (openConnection(4, cn.get(), failureText, g).ok()) {
        // Errors of the query itself reach start-up; the connection is
        // released on the way out either way.
        Recordset rs;
        rs.open(QStringLiteral("Select * from MlMsno"), *cn);
        // A table without rows leaves the store number as it was.
        if (!rs.isEOF()) {
            const std::int16_t local = readShortInteger(rs.value(QStringLiteral("MiseID")));
            if (g.ownStoreId == 0)
                g.ownStoreId = local;
        }
        rs.close();
    }
    closeConnection(cn);
}

} // namespace tanka
