#pragma once
// The command line of vadmo7 and vadmo7-newdb, read before any window
// exists: --help and --version answer and end without a display, an unknown
// option ends with the usage and exit code 2, and a start with no display to
// show on ends with a message instead of an abort.

#include <QStringList>

namespace cmdline {

enum class Action { Run, Help, Version, Error };

struct Parsed {
    Action action = Action::Run;
    bool service = false;  // --szerviz: the hidden menu entries are shown
    bool platformGiven = false; // -platform NAME: Qt is told where to show
    QString error;         // Action::Error: what was wrong, in Hungarian
    QStringList rest;      // vadmo7-newdb: its own arguments, in order
};

// vadmo7's arguments (without the program name). Qt's own options
// (-platform NAME, -style NAME, -display NAME, -reverse ...) are let through
// to the application object.
Parsed parseProgram(const QStringList& args);
// vadmo7-newdb's: [--samples] FILE, plus --help and --version.
Parsed parseNewDb(const QStringList& args);

QString programUsage();
QString newDbUsage();
// "vadmo7 20.3.0.0" and the licence lines.
QString versionText(const QString& program);

// What to print and the exit code for Help, Version and Error (the usage
// goes to stderr with an error); Run gives code -1.
struct Answer {
    QString out;
    QString err;
    int code = -1;
};
Answer answer(const Parsed& p, const QString& program, const QString& usage);

// Why the windows cannot be shown ("" when they can): no platform chosen and
// neither an X display nor a Wayland one. Read from the given environment
// values so that the rule is tried without changing the process's own.
QString noDisplayReason(const QString& qpaPlatform, const QString& display,
                        const QString& waylandDisplay);

} // namespace cmdline
