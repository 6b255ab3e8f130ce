#include "tools/render/RenderInterrupt.h"

#include <csignal>
#include <cstdlib>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace
{

volatile std::sig_atomic_t gInterruptSignal = 0;

#ifdef _WIN32
const int kStopSignals[] = {SIGINT, SIGTERM, SIGBREAK};
#else
const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#endif

// [signal handler: only async-signal-safe work]
extern "C" void RecordInterrupt(int signalNumber)
{
    gInterruptSignal = signalNumber;
#ifdef _WIN32
    std::signal(signalNumber, SIG_DFL);
#endif
}

// A signal the program was started ignoring (a background job of a shell, nohup) stays
// ignored.
void CatchUnlessIgnored(int signalNumber)
{
#ifdef _WIN32
    if (std::signal(signalNumber, RecordInterrupt) == SIG_IGN)
        std::signal(signalNumber, SIG_IGN);
#else
    struct sigaction current = {};
    if (sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
        return;
    struct sigaction action = {};
    action.sa_handler = RecordInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: an open or read that waits fails with EINTR instead of waiting on.
    action.sa_flags = SA_RESETHAND;
    sigaction(signalNumber, &action, nullptr);
#endif
}

} // namespace

void InstallRenderInterruptHandlers()
{
    for (const int signalNumber : kStopSignals)
        CatchUnlessIgnored(signalNumber);
}

int RenderInterruptSignal() { return gInterruptSignal; }

std::string RenderInterruptText()
{
    return "interrupted by signal " + std::to_string(gInterruptSignal) + "; no output written";
}

void ClearRenderInterrupt() { gInterruptSignal = 0; }

void EndByRenderInterrupt()
{
    const int signalNumber = gInterruptSignal;
    if (signalNumber == 0)
        return;
#ifdef _WIN32
    std::exit(128 + (signalNumber == SIGBREAK ? SIGINT : signalNumber));
#else
    if (signalNumber == SIGQUIT)
    {
        // The render was stopped on purpose and cleaned up: nothing for a core file to show.
        const struct rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    std::exit(128 + signalNumber); // if the signal is blocked
#endif
}
