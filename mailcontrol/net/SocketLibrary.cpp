#include "net/SocketLibrary.h"

#include "net/SocketErrors.h"

#include <cerrno>
#include <dlfcn.h>
#include <link.h>
#include <mutex>
#include <strings.h>
#include <sys/resource.h>

namespace mailvane::net {

namespace {

constexpr const char* kCLibrary = "libc.so.6";

// Stand-by functions: every call fails as the library would before start-up.
int sbSocket(int, int, int) {
    return -1;
}
int sbAddress(int, const sockaddr*, socklen_t) {
    return -1;
}
int sbFd(int) {
    return -1;
}
int sbShutdown(int, int) {
    return -1;
}
ssize_t sbSend(int, const void*, std::size_t, int) {
    return -1;
}
ssize_t sbRecv(int, void*, std::size_t, int) {
    return -1;
}
int sbSetOpt(int, int, int, const void*, socklen_t) {
    return -1;
}
int sbGetOpt(int, int, int, void*, socklen_t*) {
    return -1;
}
int sbName(int, sockaddr*, socklen_t*) {
    return -1;
}
int sbPoll(pollfd*, nfds_t, int) {
    return -1;
}
int sbLookup(const char*, const char*, const addrinfo*, addrinfo** result) {
    if (result != nullptr) {
        *result = nullptr;
    }
    errno = 0;
    return EAI_SYSTEM;
}
void sbFree(addrinfo*) {}
int sbHostName(char*, std::size_t) {
    return -1;
}
int sbLastError() {
    return kNotInitialised;
}

int loadedLastError() {
    return socketErrorFromErrno(errno);
}

constexpr SocketFunctions kStandBy = {sbSocket, sbAddress, sbAddress, sbFd,       sbShutdown,
                                      sbSend,   sbRecv,    sbSetOpt,  sbGetOpt,   sbName,
                                      sbPoll,   sbLookup,  sbFree,    sbHostName, sbLastError};

struct State {
    std::mutex mutex;
    SocketFunctions table = kStandBy;
    std::string name = SocketLibrary::kDefaultName;
    std::string path;
    void* handle = nullptr;
    int count = 0;
    std::string status = "Down";
    std::string info;
};

State& state() {
    static State s;
    return s;
}

template <typename F> bool lookUp(void* handle, const char* symbol, F& slot) {
    void* found = ::dlsym(handle, symbol);
    if (found == nullptr) {
        return false;
    }
    slot = reinterpret_cast<F>(found);
    return true;
}

bool fillTable(void* handle, SocketFunctions& t) {
    return lookUp(handle, "socket", t.socket) && lookUp(handle, "bind", t.bind) &&
           lookUp(handle, "connect", t.connect) && lookUp(handle, "close", t.close) &&
           lookUp(handle, "shutdown", t.shutdown) && lookUp(handle, "send", t.send) &&
           lookUp(handle, "recv", t.recv) && lookUp(handle, "setsockopt", t.setsockopt) &&
           lookUp(handle, "getsockopt", t.getsockopt) &&
           lookUp(handle, "getsockname", t.getsockname) && lookUp(handle, "poll", t.poll) &&
           lookUp(handle, "getaddrinfo", t.getaddrinfo) &&
           lookUp(handle, "freeaddrinfo", t.freeaddrinfo) &&
           lookUp(handle, "gethostname", t.gethostname);
}

std::string fileToOpen(const std::string& name) {
    if (name.empty() || ::strcasecmp(name.c_str(), SocketLibrary::kDefaultName) == 0) {
        return kCLibrary;
    }
    return name;
}

std::string pathOf(void* handle, const std::string& fallback) {
    link_map* map = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr &&
        map->l_name[0] != '\0') {
        return map->l_name;
    }
    return fallback;
}

} // namespace

const SocketFunctions& SocketLibrary::api() {
    return state().table;
}

void SocketLibrary::setLibraryName(const std::string& name) {
    std::lock_guard lock(state().mutex);
    state().name = name.empty() ? std::string(kDefaultName) : name.substr(0, kMaxNameLength);
}

std::string SocketLibrary::libraryName() {
    std::lock_guard lock(state().mutex);
    return state().name;
}

std::string SocketLibrary::loadedPath() {
    std::lock_guard lock(state().mutex);
    return state().path;
}

bool SocketLibrary::load() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    const std::string file = fileToOpen(s.name);
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        s.status = "Could not load Winsock DLL.";
        return false;
    }
    if (s.count == 0) {
        SocketFunctions table = kStandBy;
        if (!fillTable(handle, table)) {
            ::dlclose(handle);
            s.status = "Could not load Winsock DLL.";
            return false;
        }
        table.lastError = loadedLastError;
        s.table = table;
        s.path = pathOf(handle, file);
        s.info = "POSIX sockets 1.1 (" + s.path + ")";
    }
    // Each control keeps its own reference; the handle of the first load stands for all.
    if (s.handle == nullptr) {
        s.handle = handle;
    } else {
        ::dlclose(handle);
    }
    ++s.count;
    s.status = "Running";
    return true;
}

void SocketLibrary::unload() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.count == 0) {
        return;
    }
    if (--s.count == 0) {
        s.status = "Down";
        s.table = kStandBy;
        s.path.clear();
        s.info.clear();
        if (s.handle != nullptr) {
            ::dlclose(s.handle);
            s.handle = nullptr;
        }
    }
}

int SocketLibrary::loadCount() {
    std::lock_guard lock(state().mutex);
    return state().count;
}

std::string SocketLibrary::status() {
    std::lock_guard lock(state().mutex);
    return state().status;
}

std::string SocketLibrary::info() {
    std::lock_guard lock(state().mutex);
    return state().info;
}

long SocketLibrary::maxSockets() {
    if (!isLoaded()) {
        return 0;
    }
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return 32767;
    }
    return static_cast<long>(limit.rlim_cur);
}

long SocketLibrary::maxDatagramSize() {
    // The largest UDP payload over IPv4.
    return isLoaded() ? 65507 : 0;
}

bool LibraryUse::acquire() {
    if (!held_) {
        held_ = SocketLibrary::load();
    }
    return held_;
}

void LibraryUse::release() {
    if (held_) {
        held_ = false;
        SocketLibrary::unload();
    }
}

std::string localHostName() {
    char name[256] = {};
    if (SocketLibrary::api().gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    std::string result(name);
    if (result.size() > 99) {
        result.resize(99);
    }
    return result;
}

} // namespace mailvane::net
