#include "app/cli/terminal.h"

#include <cstdio>
#include <string>

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#define TANKA_ISATTY _isatty
#define TANKA_FILENO _fileno
#else
#include <unistd.h>
#define TANKA_ISATTY isatty
#define TANKA_FILENO fileno
#endif

#include "core/code_page_932.h"

namespace tanka::cli {
namespace {

#ifdef Q_OS_WIN
// A console shows text as UTF-16 whatever its code page. Output sent to a
// file or a pipe is written in code page 932, as Japanese Windows programs
// write it, with CR LF line ends.
void write(std::FILE* stream, QString text, bool lineEnd) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lineEnd && !text.endsWith(u'\n'))
        text += u'\n';
    std::fflush(stream);
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        text.replace(u'\n', QStringLiteral("\r\n"));
        DWORD written = 0;
        WriteConsoleW(handle, text.utf16(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    text.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = cp932::encode(text);
    const int fd = TANKA_FILENO(stream);
    _setmode(fd, _O_BINARY); // the line ends are written as they stand
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}
#else
// In the locale's encoding (UTF-8 on Debian).
void write(std::FILE* stream, QString text, bool lineEnd) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lineEnd && !text.endsWith(u'\n'))
        text += u'\n';
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}
#endif

} // namespace

void useParentConsole() {
#ifdef Q_OS_WIN
    const auto missing = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    if (!missing(STD_OUTPUT_HANDLE) && !missing(STD_ERROR_HANDLE))
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    const auto attach = [&](DWORD which, std::FILE* stream) {
        if (!missing(which))
            return;
        const HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        SetStdHandle(which, console);
        std::freopen("CONOUT$", "w", stream);
    };
    attach(STD_OUTPUT_HANDLE, stdout);
    attach(STD_ERROR_HANDLE, stderr);
#endif
}

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
