// SIGINT, SIGTERM and SIGHUP while the command works.
#include "tools/interrupt_signals.h"

#include <signal.h>

#include <array>
#include <cstdio>
#include <utility>

#include "tools/tool_error.h"

namespace nb::tools {
namespace {

constexpr std::array<std::pair<int, const char*>, 3> interrupts{
    {{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}}};

// A lock-free atomic is what a handler may touch besides volatile sig_atomic_t, and unlike that it
// is also safe to read from the rendering thread while another thread takes the signal.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

void record(int signal) { caught.store(signal); }

std::array<struct sigaction, interrupts.size()> previous{};

}  // namespace

Interrupt_Signals::Interrupt_Signals() {
    caught.store(0);
    struct sigaction action {};
    action.sa_handler = record;
    sigemptyset(&action.sa_mask);
    // Restarted system calls keep file reads and writes whole; the abort query and the checks after
    // them see the flag soon enough.
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < interrupts.size(); ++i) {
        sigaction(interrupts[i].first, nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN) sigaction(interrupts[i].first, &action, nullptr);
    }
}

Interrupt_Signals::~Interrupt_Signals() {
    for (size_t i = 0; i < interrupts.size(); ++i) sigaction(interrupts[i].first, &previous[i], nullptr);
    caught.store(0);
}

void Interrupt_Signals::end_process_if_caught() const {
    const int signal = caught.load();
    if (signal == 0) return;
    std::fflush(nullptr);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
}

const std::atomic<int>& caught_interrupt() { return caught; }

std::string interruption() {
    const int signal = caught.load();
    for (const auto& [number, name] : interrupts)
        if (number == signal) return std::string("interrupted by ") + name;
    return "";
}

void check_interrupt() {
    if (caught.load() != 0) throw Tool_Error(interruption());
}

}  // namespace nb::tools
