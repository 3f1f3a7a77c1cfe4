// Loading, counting and unloading the socket library, the stand-by table, the error texts and
// name resolution.
#include "net/SocketLibrary.h"
#include "net/NameResolver.h"
#include "net/SocketErrors.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace mailvane::net;

namespace {

struct LibraryReset : ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(SocketLibrary::loadCount(), 0) << "a previous test leaked a load";
        SocketLibrary::setLibraryName("");
    }
    void TearDown() override {
        while (SocketLibrary::loadCount() > 0) {
            SocketLibrary::unload();
        }
        SocketLibrary::setLibraryName("");
    }
};

} // namespace

TEST_F(LibraryReset, StandByTableFailsWhileNothingIsLoaded) {
    EXPECT_EQ(SocketLibrary::status(), "Down");
    EXPECT_EQ(SocketLibrary::api().socket(AF_INET, SOCK_STREAM, 0), -1);
    EXPECT_EQ(SocketLibrary::api().lastError(), 10093);
    EXPECT_EQ(SocketLibrary::loadedPath(), "");
    // A name is not looked up without the library; that is not an error.
    Resolution r = resolveIpv4("localhost");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.address, 0u);
}

TEST_F(LibraryReset, DefaultNameLoadsTheCLibraryAndCountsEachUse) {
    SocketLibrary::setLibraryName("wsock32.dll");
    LibraryUse first;
    LibraryUse second;
    ASSERT_TRUE(first.acquire());
    ASSERT_TRUE(first.acquire()); // a second True from the same control does not count again
    ASSERT_TRUE(second.acquire());
    EXPECT_EQ(SocketLibrary::loadCount(), 2);
    EXPECT_EQ(SocketLibrary::status(), "Running");
    EXPECT_NE(SocketLibrary::loadedPath().find("libc"), std::string::npos);
    EXPECT_NE(SocketLibrary::info(), "");
    EXPECT_GT(SocketLibrary::maxSockets(), 0);
    EXPECT_EQ(SocketLibrary::maxDatagramSize(), 65507);
    int fd = SocketLibrary::api().socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_GE(fd, 0);
    SocketLibrary::api().close(fd);

    first.release();
    EXPECT_EQ(SocketLibrary::status(), "Running");
    fd = SocketLibrary::api().socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_GE(fd, 0) << "the other control still holds the library";
    SocketLibrary::api().close(fd);
    second.release();
    EXPECT_EQ(SocketLibrary::loadCount(), 0);
    EXPECT_EQ(SocketLibrary::status(), "Down");
    EXPECT_EQ(SocketLibrary::api().lastError(), 10093);
}

TEST_F(LibraryReset, MissingLibraryLeavesTheReasonInTheStatus) {
    SocketLibrary::setLibraryName("/nonexistent/libnothing.so");
    LibraryUse use;
    EXPECT_FALSE(use.acquire());
    EXPECT_FALSE(use.held());
    EXPECT_EQ(SocketLibrary::status(), "Could not load Winsock DLL.");
    EXPECT_EQ(SocketLibrary::loadCount(), 0);
}

TEST_F(LibraryReset, ShimLibraryIsCalledThroughTheTable) {
    SocketLibrary::setLibraryName(FAULTSOCK_PATH);
    LibraryUse use;
    ASSERT_TRUE(use.acquire());
    EXPECT_NE(SocketLibrary::loadedPath().find("libfaultsock"), std::string::npos);
    EXPECT_EQ(SocketLibrary::libraryName(), FAULTSOCK_PATH);
}

TEST_F(LibraryReset, ResolvesDottedTextsAndNames) {
    LibraryUse use;
    ASSERT_TRUE(use.acquire());
    EXPECT_EQ(formatIpv4(resolveIpv4("127.0.0.1").address), "127.0.0.1");
    EXPECT_EQ(resolveIpv4("").address, 0u);
    Resolution local = resolveIpv4("localhost");
    EXPECT_EQ(local.code, 0);
    EXPECT_EQ(formatIpv4(local.address), "127.0.0.1");
    // 11001 normally; 11002 on a machine whose resolver cannot be reached at all.
    Resolution missing = resolveIpv4("no-such-host.invalid");
    EXPECT_TRUE(missing.code == 11001 || missing.code == 11002) << missing.code;
    EXPECT_EQ(missing.address, 0u);
    EXPECT_EQ(describeSocketError(11001), "[11001] Host not found");
    EXPECT_FALSE(localHostName().empty());
    EXPECT_LE(localHostName().size(), 99u);
}

TEST(SocketErrors, ErrnoValuesKeepTheirNumbersAndTexts) {
    EXPECT_EQ(socketErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(socketErrorFromErrno(EAGAIN), 10035);
    EXPECT_EQ(socketErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(socketErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(socketErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(socketErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(socketErrorFromErrno(0), 0);
    EXPECT_EQ(describeSocketError(10061), "[10061] Connection refused");
    EXPECT_EQ(describeSocketError(10066), "[10066] Directory not empt");
    EXPECT_EQ(describeSocketError(10093), "[10093] Winsock not loaded yet (WSANOTINITIALISED)");
    EXPECT_EQ(describeSocketError(10099), "[10099] (no description available)");
    EXPECT_EQ(describeSocketError(118), "[118] (no description available)");
}
