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

} // namespace

void InstallRenderInterruptHandlers()
{
    std::signal(SIGINT, RecordInterrupt);
    std::signal(SIGTERM, RecordInterrupt);
}

int RenderInterruptSignal()
{
    return gInterruptSignal;
}

void ClearRenderInterrupt()
{
    gInterruptSignal = 0;
}
