#pragma once
// Stopping a render cleanly on SIGINT or SIGTERM. The handler only records the signal;
// the render checks for it between blocks and fails as any other render failure does, so
// the writer removes its partial file on the way out.

// Installs the handler for SIGINT and SIGTERM. A second signal of the same kind, while the
// first is being handled, ends the program at once.
void InstallRenderInterruptHandlers();

// The signal that asked the render to stop, 0 while none has.
int RenderInterruptSignal();

// Forgets a recorded signal (the tests raise one on purpose).
void ClearRenderInterrupt();
