#pragma once
// The command line's side of the user: message boxes become lines on
// standard error, a question becomes a prompt answered on the terminal, and
// progress is a line on standard error that rewrites itself.

#include <QElapsedTimer>
#include <QString>

#include "core/message_box.h"

namespace tanka::cli {

// Keeps Qt's own diagnostics (debug, info and warning messages, in English
// and meant for developers) off the user's standard error; critical and
// fatal ones still show.
void quietQtDiagnostics();

// For the Windows window program (no console of its own) given a command:
// its output goes to the console of the program that started it, if any.
// Does nothing elsewhere, or when the output is already redirected.
void useParentConsole();

// Whether standard input / standard error is a terminal.
bool stdinIsTerminal();
bool stderrIsTerminal();

// A text and a line end on standard output / standard error, in the locale's
// encoding; CR LF in the text becomes a line end.
void printOut(const QString& text);
void printErr(const QString& text);

// Messages go to standard error. A Yes/No question is answered Yes with
// assumeYes; otherwise it is asked as "<text> [y/N]" on the terminal, and
// answered No (with a message saying why) when standard input is not one.
class TerminalBoxes final : public MessageBoxes {
public:
    explicit TerminalBoxes(bool assumeYes) : m_assumeYes(assumeYes) {}
    MsgAnswer show(const QString& text, MsgButtons buttons, MsgIcon icon,
                   const QString& title) override;

private:
    bool m_assumeYes;
};

// "<label> done/total" on standard error, rewritten in place at most ten
// times a second and ended with a line end when a step is complete. Shows
// nothing when standard error is not a terminal.
class ProgressLine {
public:
    ProgressLine();
    void show(const QString& label, qint64 done, qint64 total);

private:
    bool m_enabled;
    bool m_open = false;
    QElapsedTimer m_sinceShown;
};

} // namespace tanka::cli
