#pragma once
// The program's log: what the user is shown only as a short numbered message
// (a failed save) is written here with the database's own text.

#include <QString>

namespace applog {

// The log file: vadmo7.log in the user's data folder ($XDG_DATA_HOME/vadmo7).
QString path();
// Tests point it elsewhere; an empty path restores the default.
void setPath(const QString& file);

// One line with a time stamp, to stderr (qWarning) and appended to the file.
// Writing the log never fails the caller.
void write(const QString& text);

} // namespace applog
