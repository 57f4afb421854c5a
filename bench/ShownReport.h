#pragma once

#include <QWidget>

// Tells the startup benchmark when a window is on the screen: once the window is
// first exposed and the event that painted it has been handled, writes
// "shown <steady-clock nanoseconds>" to stdout and ends the process at once, so
// that no shutdown work (and no settings write) follows.
void reportWhenShown(QWidget *window);

// Writes "phase <name> <steady-clock nanoseconds>" to stdout: where the time went
// on the way to the window.
void reportPhase(const char *name);
