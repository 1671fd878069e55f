#pragma once
// Web servers on 127.0.0.1 for tests of downloads: a real one serving a folder
// (Python's http.server, started for the test and stopped with it), an address
// where nothing listens, and one that accepts connections but never answers.

#include "support/temp_dir.h"

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <chrono>
#include <string>

namespace zembra::testing {

// A listening socket on a free loopback port; `backlog` 0 means bind only.
inline int LoopbackSocket(int& port, int backlog) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (backlog > 0 && ::listen(fd, backlog) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

inline std::string LoopbackAddress(int port) {
    return "http://127.0.0.1:" + std::to_string(port);
}

// An address on this machine where nothing listens: connecting is refused at once.
inline std::string ClosedLoopbackAddress() {
    int port = 0;
    const int fd = LoopbackSocket(port, 0);
    if (fd >= 0)
        ::close(fd);
    return LoopbackAddress(port);
}

// Accepts connections (the kernel does, from the backlog) and never answers, so
// only a time-out ends a download from it.
class SilentServer {
  public:
    SilentServer() : fd_(LoopbackSocket(port_, 4)) {}
    ~SilentServer() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    std::string Address() const { return LoopbackAddress(port_); }

  private:
    int port_ = 0;
    int fd_;
};

class LoopbackServer {
  public:
    LoopbackServer() {
        const std::string portFile = control_ / "port";
        pid_ = ::fork();
        if (pid_ == 0) {
            // The server must not outlive a test that crashes.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::execlp("python3", "python3", "-c", kScript, root_.Path().c_str(), portFile.c_str(),
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Python starts in well under a second; ten are allowed on a loaded machine.
        for (int i = 0; i < 200 && port_ == 0 && pid_ > 0; ++i) {
            std::ifstream(portFile) >> port_;
            if (port_ == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
    std::string Address() const { return LoopbackAddress(port_); }

    // Serves `content` at `path` ("/documents/files/version.txt").
    void Publish(const std::string& path, const std::string& content) const {
        const std::filesystem::path file = root_.Path() + path;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

  private:
    // Serves the folder argv[1]; writes its port to argv[2] once it listens.
    static constexpr const char* kScript = R"(
import functools, http.server, os, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                         functools.partial(Quiet, directory=sys.argv[1]))
with open(sys.argv[2] + '.new', 'w') as f: f.write(str(server.server_address[1]))
os.rename(sys.argv[2] + '.new', sys.argv[2])
server.serve_forever()
)";
    TempDir root_;
    TempDir control_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace zembra::testing
