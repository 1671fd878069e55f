// zembra-batch: the batch engine without a display.
#include "cli/batch_job.h"
#include "cli/batch_options.h"
#include "cli/batch_services.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const zembra::ParsedArgs parsed = zembra::ParseBatchArgs(args);
    if (!parsed.options) {
        std::cerr << "zembra-batch: " << parsed.error << '\n' << zembra::BatchUsage();
        return zembra::kRefused;
    }
    if (parsed.options->help) {
        std::cout << zembra::BatchUsage();
        return 0;
    }
    // The run stops between steps, so no temporary EXIF copy is left behind.
    std::signal(SIGINT, [](int) { zembra::BatchServices::RequestInterrupt(); });
    std::signal(SIGTERM, [](int) { zembra::BatchServices::RequestInterrupt(); });
    // Past a file-size limit (ulimit -f) a write fails as on a full disk, and the
    // run goes on with the next picture instead of being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    return zembra::RunBatch(*parsed.options, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
