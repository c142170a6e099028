#pragma once
// The command line's words: what `tanka convert ...` and `tanka undo ...`
// ask for, read from the arguments without touching anything, and the help
// texts. Values are checked here, so a command that parses is one the
// program can try.

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

namespace tanka::cli {

// The process's exit status.
enum ExitStatus : int {
    Done = 0,    // finished, or the dry run finished
    Refused = 1, // refused or declined; nothing changed
    Failed = 2,  // failed; whatever the run had changed was rolled back
    Usage = 64,  // the command line is wrong
};

struct ConvertRequest {
    // As the window's choices hold them: kind 1 to 10 % inclusive, 2 to
    // tax-exclusive, -1 not converted; rounding method 0 truncate, 1 round
    // up, 2 round half up; unit 0 one yen, 1 ten, 2 hundred.
    std::int16_t technicalKind = -1, retailKind = -1;
    std::int16_t roundingMethod = -1, roundingUnit = -1;
    bool storesGiven = false;
    std::vector<std::int16_t> stores; // in the order given
    bool force = false;
    bool dryRun = false;
    bool yes = false;
    QString out;                  // list file of the dry run; empty for none
    bool compareRounding = false; // the dry run also compares the nine roundings
};

struct UndoRequest {
    QString journal; // host path as given
    bool dryRun = false;
    bool yes = false;
};

enum class CommandKind { Help, Convert, Undo };

struct Command {
    CommandKind kind = CommandKind::Help;
    QString help; // the help text to print (Help)
    ConvertRequest convert;
    UndoRequest undo;
};

struct Parsed {
    Command command;
    QString error; // a usage error, in Japanese; empty when the command is good
};

// args: the arguments after the program's name.
Parsed parseCommandLine(const QStringList& args);

QString mainHelp();
QString convertHelp();
QString undoHelp();

} // namespace tanka::cli
