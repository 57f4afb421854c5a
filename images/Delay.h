#pragma once

// Waits `milliseconds` while the program goes on answering its events, so windows
// repaint meanwhile. Pending events are processed at least once, also for a wait of
// zero or less. The clock is monotonic: a wait never ends early or hangs when the
// system's time is changed.
void Delay(int milliseconds);
