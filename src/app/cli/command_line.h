#pragma once
// The command line's words: what `tanka convert ...` and `tanka undo ...`
// ask for, read from the arguments without touching anything, and the help
// texts. Values are checked here, so a command that parses is one the
// program can try.

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/choices.h"

namespace tanka::cli {

// The process's exit status.
enum ExitStatus : int {
    Done = 0,    // finished, or the dry run finished
    Refused = 1, // refused or declined; nothing changed
    Failed = 2,  // failed; whatever the run had changed was rolled back
    Usage = 64,  // the command line is wrong
};

struct ConvertRequest {
    // None: not given (a menu not given is not converted).
    ConversionKind technicalKind = ConversionKind::None, retailKind = ConversionKind::None;
    RoundingMethod roundingMethod = RoundingMethod::None;
    RoundingUnit roundingUnit = RoundingUnit::None;
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
