// Downloads land whole or not at all; error statuses, refused connections, silent
// servers and oversized answers all leave the destination as it was.
#include "platform/download.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zembra::testing {
namespace {

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(DownloadFile, MovesTheWholeBodyIntoPlace) {
    LoopbackServer server;
    ASSERT_TRUE(server.Running());
    // More than one write of libcurl's buffer, with bytes text handling would change.
    std::string body(100000, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i * 7 + (i >> 9));
    server.Publish("/files/setup.exe", body);

    TempDir dir;
    dir.Write("setup.exe", "older");
    ASSERT_TRUE(DownloadFile(server.Address() + "/files/setup.exe", dir / "setup.exe"));
    EXPECT_EQ(Content(dir / "setup.exe"), body);
    EXPECT_EQ(dir.Listing(), "setup.exe"); // no temporary file left
}

TEST(DownloadFile, FailureLeavesTheDestinationAsItWas) {
    LoopbackServer server;
    ASSERT_TRUE(server.Running());
    server.Publish("/big.bin", std::string(5000, 'x'));
    SilentServer silent;
    const DownloadLimits quick{.connectSeconds = 1, .totalSeconds = 1, .maxBytes = 1000};
    const struct {
        const char* what;
        std::string url;
    } cases[] = {
        {"404", server.Address() + "/missing.exe"},
        {"nothing listening", ClosedLoopbackAddress() + "/version.txt"},
        {"no answer", silent.Address() + "/version.txt"},
        {"over the size limit", server.Address() + "/big.bin"},
        {"not http", "file:///etc/hostname"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        EXPECT_FALSE(DownloadFile(c.url, dir / "fresh.txt", quick));
        dir.Write("kept.txt", "earlier");
        EXPECT_FALSE(DownloadFile(c.url, dir / "kept.txt", quick));
        EXPECT_EQ(Content(dir / "kept.txt"), "earlier");
        EXPECT_EQ(dir.Listing(), "kept.txt");
    }
}

} // namespace
} // namespace zembra::testing
