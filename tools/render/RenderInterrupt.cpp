#include "tools/render/RenderInterrupt.h"

#include <csignal>

namespace
{

volatile std::sig_atomic_t gInterruptSignal = 0;

// [signal handler: only async-signal-safe work]
extern "C" void RecordInterrupt(int signalNumber)
{
    gInterruptSignal = signalNumber;
    std::signal(signalNumber, SIG_DFL);
}

// A signal the program was started ignoring (a background job of a shell, nohup) stays
// ignored.
void CatchUnlessIgnored(int signalNumber)
{
    if (std::signal(signalNumber, RecordInterrupt) == SIG_IGN) std::signal(signalNumber, SIG_IGN);
}

} // namespace

void InstallRenderInterruptHandlers()
{
    CatchUnlessIgnored(SIGINT);
    CatchUnlessIgnored(SIGTERM);
}

int RenderInterruptSignal()
{
    return gInterruptSignal;
}

void ClearRenderInterrupt()
{
    gInterruptSignal = 0;
}
