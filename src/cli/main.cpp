// zembra-batch: the batch engine without a display.
#include "cli/batch_job.h"
#include "cli/batch_options.h"
#include "cli/stop_signals.h"
#include "cli/undo_command.h"

#include <csignal>
#include <iostream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The width of the terminal on stderr, or 0 when stderr is no terminal.
int TerminalColumns() {
    if (::isatty(STDERR_FILENO) != 1)
        return 0;
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const zembra::ParsedArgs parsed = zembra::ParseBatchArgs(args);
    if (!parsed.options) {
        // Alone, the program shows how to use it; a wrong flag gets one line.
        if (parsed.error.empty())
            std::cerr << zembra::BatchUsage();
        else
            std::cerr << "zembra-batch: " << parsed.error
                      << "\n(zembra-batch --help lists the flags)\n";
        return zembra::kRefused;
    }
    if (parsed.options->help) {
        std::cout << zembra::BatchUsage();
        return 0;
    }
    if (parsed.options->version) {
        std::cout << "zembra-batch " << zembra::BatchVersion() << '\n';
        return 0;
    }
    if (parsed.options->undo)
        return zembra::RunUndo(parsed.options->undoJournal, std::cout, std::cerr);
    const int columns = TerminalColumns();
    zembra::InstallStopSignals(columns > 0);
    // Past a file-size limit (ulimit -f) a write fails as on a full disk, and the
    // run goes on with the next picture instead of being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    // A reader that goes away (| head) does not end the run halfway: the pictures
    // are the job, the lines only report on it.
    std::signal(SIGPIPE, SIG_IGN);
    return zembra::RunBatch(*parsed.options, std::cout, std::cerr, columns);
}
