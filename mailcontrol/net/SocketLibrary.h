#pragma once
// The socket library, loaded at run time from the file named by WinsockPath (by default the C
// library; "WSOCK32.DLL" names that default). Its functions are looked up into one
// process-wide table shared by every control; the table holds stand-by functions that fail
// while nothing is loaded, so callers never check before calling. Loading is counted: each
// control that holds the library counts once (see LibraryUse).
#include <cstddef>
#include <cstdint>
#include <string>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>

namespace mailvane::net {

struct SocketFunctions {
    int (*socket)(int domain, int type, int protocol);
    int (*bind)(int fd, const sockaddr* address, socklen_t length);
    int (*connect)(int fd, const sockaddr* address, socklen_t length);
    int (*close)(int fd);
    int (*shutdown)(int fd, int how);
    ssize_t (*send)(int fd, const void* data, std::size_t length, int flags);
    ssize_t (*recv)(int fd, void* data, std::size_t length, int flags);
    int (*setsockopt)(int fd, int level, int name, const void* value, socklen_t length);
    int (*getsockopt)(int fd, int level, int name, void* value, socklen_t* length);
    int (*getsockname)(int fd, sockaddr* address, socklen_t* length);
    int (*poll)(pollfd* fds, nfds_t count, int timeoutMs);
    int (*getaddrinfo)(const char* node, const char* service, const addrinfo* hints,
                       addrinfo** result);
    void (*freeaddrinfo)(addrinfo* list);
    int (*gethostname)(char* name, std::size_t length);
    // The 10000-range code of the last failed call on this thread (10093 while not loaded).
    int (*lastError)();
};

class SocketLibrary {
public:
    static constexpr const char* kDefaultName = "WSOCK32.DLL";
    static constexpr std::size_t kMaxNameLength = 200;

    // The table to call through; stand-by functions while nothing is loaded.
    static const SocketFunctions& api();

    // Names the library to load next time: empty or "WSOCK32.DLL" (any case) means the C
    // library; cut to 200 characters.
    static void setLibraryName(const std::string& name);
    static std::string libraryName();
    // Full path of the loaded library ("" while nothing is loaded).
    static std::string loadedPath();

    // Counted load and unload; load() returns true when the library is usable. A failed load
    // leaves its reason in status().
    static bool load();
    static void unload();

    static int loadCount();
    static bool isLoaded() { return loadCount() > 0; }
    // "Down" while not loaded, "Running" when loaded, or the text of the last failed load.
    static std::string status();
    static std::string info();
    static long maxSockets();
    static long maxDatagramSize();
};

// One control's hold on the library (the WinsockLoaded property): loads at most once and
// releases what it loaded when destroyed.
class LibraryUse {
public:
    LibraryUse() = default;
    ~LibraryUse() { release(); }
    LibraryUse(const LibraryUse&) = delete;
    LibraryUse& operator=(const LibraryUse&) = delete;

    bool acquire(); // true when held (already or now)
    void release();
    bool held() const noexcept { return held_; }

private:
    bool held_ = false;
};

// The machine's host name as the library gives it, at most 99 characters ("" on failure).
std::string localHostName();

} // namespace mailvane::net
