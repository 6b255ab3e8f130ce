#pragma once
// Stopping a render cleanly when it is asked to stop: SIGINT (Ctrl-C), SIGTERM, SIGHUP (a
// closed terminal or a dropped remote session) and SIGQUIT; on Windows Ctrl-C and
// Ctrl-Break. The handler only records the signal; the render checks for it between blocks
// and fails as any other render failure does, so the writer removes its partial file on the
// way out. A system call waiting when the signal comes returns instead of resuming, so no
// wait outlasts the signal.

#include <string>

// Installs the handlers. A second signal of the same kind, while the first is being
// handled, ends the program at once.
void InstallRenderInterruptHandlers();

// The signal that asked the render to stop, 0 while none has.
int RenderInterruptSignal();

// The one-line message for an interrupted render.
std::string RenderInterruptText();

// Forgets a recorded signal (the tests raise one on purpose).
void ClearRenderInterrupt();

// Ends the program the way the recorded signal would have, now that nothing is left behind:
// by that signal on POSIX (the status a shell shows is 128 + its number, without a core
// dump for SIGQUIT), with the status 128 + the signal number on Windows, where Ctrl-Break
// counts as Ctrl-C. Returns when no signal was recorded.
void EndByRenderInterrupt();
