#include "cli/stop_signals.h"

#include "platform/stop_request.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace zembra {

namespace {

volatile std::sig_atomic_t firstSignal = 0;
volatile std::sig_atomic_t signalCount = 0;
volatile std::sig_atomic_t onTerminal = 0;

void Say(const char* text) {
    // write() is safe in a signal handler; a failed write changes nothing here.
    // On a terminal the progress bar's line is cleared first.
    const char* start = onTerminal ? "\r\033[K" : "";
    const ssize_t ignored = ::write(STDERR_FILENO, start, std::strlen(start)) +
                            ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

void OnStopSignal(int sig) {
    if (firstSignal == 0)
        firstSignal = sig;
    signalCount = signalCount + 1;
    if (signalCount == 1 && sig == SIGINT) {
        RequestStop(StopLevel::AfterPicture);
        Say("zembra-batch: stopping after the pictures in hand (Ctrl-C again stops at once)\n");
        return;
    }
    RequestStop(StopLevel::Now);
    Say("zembra-batch: stopping now\n");
    // Past this, a signal acts as it would on any program.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

} // namespace

void InstallStopSignals(bool terminal) {
    onTerminal = terminal ? 1 : 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes the signal lands in are restarted, not failed.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() {
    return firstSignal;
}

int StopExitStatus() {
    return 128 + (firstSignal != 0 ? firstSignal : SIGINT);
}

} // namespace zembra
