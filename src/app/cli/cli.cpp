#include "app/cli/cli.h"

#include "app/cli/commands.h"
#include "app/connect.h"
#include "app/session.h"
#include "core/run_error.h"
#include "pricing/execute.h"

namespace tanka::cli {

Session::Session(const CliPlatform& platform, TerminalBoxes& boxes) : p(platform), m_boxes(boxes) {}

Session::~Session() {
    closeProgramConnection(m_cn);
}

int Session::start() {
    switch (startUp(g, m_cn, {p.env, p.drive, m_boxes, p.instance})) {
    case LoadResult::Loaded:
        return Done;
    case LoadResult::AnotherCopy:
        printErr(QStringLiteral("単価変更は既に起動しています。終了します。"));
        return Refused;
    case LoadResult::NoInstallation:
    case LoadResult::Failed:
        break;
    }
    return Failed;
}

QString errorText(std::int32_t number, const QString& description) {
    return runErrorMessage(number, description, false) +
           QStringLiteral("\r\n変更は行われていません。");
}

int reportingErrors(const std::function<int()>& body) {
    try {
        return body();
    } catch (const RunError& e) {
        printErr(errorText(e.number(), QString::fromStdString(e.description())));
    } catch (const std::exception& e) {
        printErr(errorText(0, QString::fromUtf8(e.what())));
    }
    return Failed;
}

int runCommandLine(const QStringList& args, const CliPlatform& platform) {
    const Parsed parsed = parseCommandLine(args);
    if (!parsed.error.isEmpty()) {
        printErr(parsed.error + QStringLiteral("\n使い方は tanka --help で表示されます。"));
        return Usage;
    }
    switch (parsed.command.kind) {
    case CommandKind::Help:
        printOut(parsed.command.help);
        return Done;
    case CommandKind::Convert:
        return runConvert(parsed.command.convert, platform);
    case CommandKind::Undo:
        return runUndo(parsed.command.undo, platform);
    }
    return Usage;
}

} // namespace tanka::cli
