#pragma once

#include <QEventLoop>

// Waits `milliseconds` while the program goes on answering its events, so windows
// repaint meanwhile. Pending events are processed at least once, also for a wait of
// zero or less. The clock is monotonic: a wait never ends early or hangs when the
// system's time is changed. `flags` may hold back the user's input meanwhile: it is
// then handled after the wait.
void Delay(int milliseconds, QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
