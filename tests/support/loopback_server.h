#pragma once
// A web server on 127.0.0.1 for one test (Python's http.server serving a folder),
// with two more loopback ports beside it: one where connections are refused and
// one that accepts them and never answers.

#include "support/temp_dir.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <string>

namespace zembra::testing {

class LoopbackServer {
  public:
    LoopbackServer() {
        const std::string ports = control_ / "ports";
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives a crashed test
            ::execlp("python3", "python3", "-c", kScript, root_.Path().c_str(), ports.c_str(),
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Python starts in well under a second; ten are allowed on a loaded machine.
        for (int i = 0; i < 200 && port_ == 0 && pid_ > 0; ++i) {
            std::ifstream(ports) >> port_ >> refusing_ >> silent_;
            std::this_thread::sleep_for(std::chrono::milliseconds(port_ ? 0 : 50));
        }
    }
    ~LoopbackServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool Running() const { return port_ != 0; }
    std::string Address() const { return At(port_); }
    std::string RefusingAddress() const { return At(refusing_); }
    std::string SilentAddress() const { return At(silent_); }

    // Serves `content` at `path` ("/documents/files/version.txt").
    void Publish(const std::string& path, const std::string& content) const {
        const std::filesystem::path file = root_.Path() + path;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

  private:
    static std::string At(int port) { return "http://127.0.0.1:" + std::to_string(port); }

    // Serves the folder argv[1] and writes the three ports to argv[2]. A socket that
    // is bound but not listening refuses connections and keeps its port taken.
    static constexpr const char* kScript = R"(
import functools, http.server, os, socket, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                         functools.partial(Quiet, directory=sys.argv[1]))
refusing, silent = socket.socket(), socket.socket()
refusing.bind(('127.0.0.1', 0)); silent.bind(('127.0.0.1', 0)); silent.listen(8)
ports = [s.getsockname()[1] for s in (server.socket, refusing, silent)]
with open(sys.argv[2] + '.new', 'w') as f: f.write(' '.join(map(str, ports)))
os.rename(sys.argv[2] + '.new', sys.argv[2])
server.serve_forever()
)";
    TempDir root_;
    TempDir control_;
    pid_t pid_ = -1;
    int port_ = 0, refusing_ = 0, silent_ = 0;
};

} // namespace zembra::testing
