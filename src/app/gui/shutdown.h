#pragma once
// Ending the program from outside (logout, kill, a lost display) must still
// commit and detach the database: the embedded engine otherwise keeps the file
// locked in a process that never finishes exiting.

class QWidget;

namespace app {

// Called first thing in main(): keeps the termination signals away from every
// thread the libraries start later (the database engine's threads do not
// survive being interrupted by them); installShutdownHandlers then takes them
// on the main thread only.
void blockTerminationSignals();

// SIGTERM, SIGINT and SIGHUP, and an exit() from a library (the display
// connection lost), commit the shared transaction and end the process before
// the engine's own exit handlers run.
void installShutdownHandlers(QWidget* mainWindow);

} // namespace app
