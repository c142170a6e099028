#include "app/cli/terminal.h"

#include <cstdio>
#include <string>

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#define TANKA_ISATTY _isatty
#define TANKA_FILENO _fileno
#else
#include <unistd.h>
#define TANKA_ISATTY isatty
#define TANKA_FILENO fileno
#endif

namespace tanka::cli {
namespace {

void write(std::FILE* stream, QString text, bool lineEnd) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lineEnd && !text.endsWith(u'\n'))
        text += u'\n';
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void quietQtDiagnostics() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            printErr(text);
    });
}

bool stdinIsTerminal() {
    return TANKA_ISATTY(TANKA_FILENO(stdin)) != 0;
}

bool stderrIsTerminal() {
    return TANKA_ISATTY(TANKA_FILENO(stderr)) != 0;
}

void printOut(const QString& text) {
    write(stdout, text, true);
}

void printErr(const QString& text) {
    write(stderr, text, true);
}

MsgAnswer TerminalBoxes::show(const QString& text, MsgButtons buttons, MsgIcon, const QString&) {
    if (buttons == MsgButtons::Ok) {
        printErr(text);
        return MsgAnswer::Ok;
    }
    if (m_assumeYes)
        return MsgAnswer::Yes;
    if (!stdinIsTerminal()) {
        printErr(text + QStringLiteral("\n標準入力が端末ではないため確認できません。"
                                       "確認なしで実行するには --yes を付けてください。"));
        return MsgAnswer::No;
    }
    write(stderr, text + QStringLiteral(" [y/N] "), false);
    std::string answer;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
        answer += static_cast<char>(c);
    const QString reply = QString::fromLocal8Bit(answer).trimmed().toLower();
    return reply == u"y" || reply == u"yes" ? MsgAnswer::Yes : MsgAnswer::No;
}

ProgressLine::ProgressLine() : m_enabled(stderrIsTerminal()) {}

void ProgressLine::show(const QString& label, qint64 done, qint64 total) {
    if (!m_enabled)
        return;
    const bool complete = done >= total;
    if (!complete && m_open && m_sinceShown.isValid() && m_sinceShown.elapsed() < 100)
        return;
    write(stderr, QStringLiteral("\r%1 %2/%3").arg(label).arg(done).arg(total), false);
    m_sinceShown.start();
    m_open = !complete;
    if (complete)
        write(stderr, {}, true);
}

} // namespace tanka::cli
