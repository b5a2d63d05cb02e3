#pragma once
// The folder a file is about to be written into. A folder the program itself
// proposed is made when it is missing (a fresh computer has none of them); a
// folder the user typed is made only after asking, since a typo should not
// leave a new folder behind.

#include <QString>
#include <functional>

namespace folders {

enum class State { Existed, Created, Declined, Failed };

struct Result {
    State state = State::Existed;
    QString message; // for the user: the folder made, or why not; empty when it existed
    bool ok() const { return state == State::Existed || state == State::Created; }
};

// `ask` gets the question and answers it (yes: make the folder); it is called
// only for a missing folder that was not the proposal.
Result ensure(const QString& dir, const QString& proposedDir,
              const std::function<bool(const QString&)>& ask);

// The question asked for a typed folder that does not exist.
QString question(const QString& dir);
// The line added to a done message when the folder was made just now.
QString createdNote(const QString& dir);

} // namespace folders
