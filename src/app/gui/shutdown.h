#pragma once
// Ending the program from outside (logout, kill, a lost display) must still
// commit and detach the database: the embedded engine otherwise keeps the file
// locked in a process that never finishes exiting.

class QObject;

namespace app {

// Called first thing in main(): keeps the termination signals away from every
// thread the libraries start later (the database engine's threads do not
// survive being interrupted by them); installShutdownHandlers then takes them
// on the main thread only.
void blockTerminationSignals();

// SIGTERM, SIGINT and SIGHUP commit the shared transaction and end the
// process, from the moment this is called (messages shown before the main
// window included).
void installShutdownHandlers(QObject* owner);

// An exit() from a library (the display connection lost) does the same. Call
// it after the database is attached: exit handlers run in reverse order, and
// this one must run before the engine's own.
void installExitHook();

} // namespace app
