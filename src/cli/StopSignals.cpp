#include "cli/StopSignals.h"

#include <atomic>
#include <csignal>

namespace quantem::cli {

namespace {

    // One process, one set of handlers: the flags live where the handler can reach them.
    std::atomic<int> g_received { 0 };
    core::StopSwitch g_stopSwitch;
    std::atomic<std::atomic<bool>*> g_alsoSet { nullptr };
    static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free
            && std::atomic<bool>::is_always_lock_free,
        "the handler may only touch lock-free atomics");
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
        if (std::atomic<bool>* flag = g_alsoSet.load(std::memory_order_relaxed))
            flag->store(true, std::memory_order_relaxed);
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
    g_alsoSet.store(nullptr);
    g_received.store(0);
    g_stopSwitch.reset();
    install(SIGINT, g_previousInterrupt);
    install(SIGTERM, g_previousTerminate);
}

StopSignals::~StopSignals()
{
    g_alsoSet.store(nullptr);
    sigaction(SIGINT, &g_previousInterrupt, nullptr);
    sigaction(SIGTERM, &g_previousTerminate, nullptr);
}

core::StopSwitch& StopSignals::stopSwitch() noexcept { return g_stopSwitch; }

void StopSignals::alsoSet(std::atomic<bool>& flag) noexcept
{
    g_alsoSet.store(&flag);
    // A signal that came before the flag was given stops what it guards too.
    if (received() != 0)
        flag.store(true, std::memory_order_relaxed);
}

int StopSignals::received() const noexcept { return g_received.load(std::memory_order_relaxed); }

} // namespace quantem::cli
