#pragma once
// Which screen each menu entry and button opens, by screen number.

class QDialog;
class QWidget;

namespace app {

// A new screen; nullptr for screen numbers that have no screen in this build.
QDialog* createScreen(int formNo, QWidget* parent);

// Creates the screen, runs it as a nested modal screen and frees it.
// Returns the dialog's result, or -1 when there is no such screen.
int runScreen(int formNo, QWidget* parent);

} // namespace app
