#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>

namespace quantem::cli {

namespace {

    // One process, one set of handlers: the flags live where the handler can reach them.
    std::atomic<int> g_received { 0 };
    core::StopSwitch g_stopSwitch;
    static_assert(
        std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free atomics");

    struct sigaction g_previousInterrupt
    {
    };
    struct sigaction g_previousTerminate
    {
    };

    extern "C" void onStopSignal(int signal)
    {
        g_received.store(signal, std::memory_order_relaxed);
        g_stopSwitch.request();
    }

    void install(int signal, struct sigaction& previous)
    {
        struct sigaction action
        {
        };
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART; // a stop must not make a file read or write fail
        sigaction(signal, &action, &previous);
    }

} // namespace

StopSignals::StopSignals()
{
    g_received.store(0);
    g_stopSwitch.reset();
    install(SIGINT, g_previousInterrupt);
    install(SIGTERM, g_previousTerminate);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &g_previousInterrupt, nullptr);
    sigaction(SIGTERM, &g_previousTerminate, nullptr);
}

core::StopSwitch& StopSignals::stopSwitch() noexcept { return g_stopSwitch; }

int StopSignals::received() const noexcept { return g_received.load(std::memory_order_relaxed); }

} // namespace quantem::cli
