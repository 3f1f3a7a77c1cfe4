#pragma once
// Holds the socket library for the duration of a test, as a control does.
#include "net/NameResolver.h"
#include "net/SocketLibrary.h"

#include <gtest/gtest.h>

namespace mailvane::testing {

class LoadedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        if (!net::SocketLibrary::isLoaded()) {
            net::SocketLibrary::setLibraryName("");
        }
        ASSERT_TRUE(use_.acquire()) << net::SocketLibrary::status();
    }
    void TearDown() override { use_.release(); }

    static net::Ipv4Address loopback() { return net::resolveIpv4("127.0.0.1").address; }

    net::LibraryUse use_;
};

} // namespace mailvane::testing
