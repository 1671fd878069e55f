// Downloads land whole or not at all: error statuses, refused connections, silent
// servers and oversized answers leave the destination as it was.
#include "platform/download.h"
#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zembra::testing {
namespace {

std::string Content(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

TEST(DownloadFile, LandsWholeOrNotAtAll) {
    LoopbackServer server;
    ASSERT_TRUE(server.Running());
    // Several of libcurl's writes, and bytes that text handling would change.
    std::string body(100000, '\r');
    body[5000] = '\0';
    server.Publish("/setup.exe", body);
    TempDir dir;
    dir.Write("setup.exe", "older");
    ASSERT_TRUE(DownloadFile(server.Address() + "/setup.exe", dir / "setup.exe"));
    EXPECT_EQ(Content(dir / "setup.exe"), body);

    const DownloadLimits quick{.connectSeconds = 1, .totalSeconds = 1, .maxBytes = 99999};
    for (const std::string& url :
         {server.Address() + "/missing.exe", server.RefusingAddress() + "/setup.exe",
          server.SilentAddress() + "/setup.exe", server.Address() + "/setup.exe" /* too big */,
          std::string("file:///etc/hostname")}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(DownloadFile(url, dir / "fresh.exe", quick));
        EXPECT_FALSE(DownloadFile(url, dir / "setup.exe", quick));
        EXPECT_EQ(Content(dir / "setup.exe"), body);
        EXPECT_EQ(dir.Listing(), "setup.exe"); // nothing else, no temporary file
    }
}

} // namespace
} // namespace zembra::testing
