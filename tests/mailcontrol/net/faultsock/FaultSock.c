/* A socket library for fault injection, loaded by the mail control through WinsockPath. It
 * forwards to the C library but, as set by environment variables read on every call, takes
 * at most FAULTSOCK_MAX_SEND bytes per send, answers every FAULTSOCK_EAGAIN_EVERY-th send or
 * recv with EAGAIN, and resets the connection once FAULTSOCK_RESET_AFTER bytes were sent;
 * FAULTSOCK_RECV_ERRNO makes every recv fail with that errno. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/types.h>

static void* libc_handle(void) {
    static void* handle;
    if (!handle) {
        handle = dlopen("libc.so.6", RTLD_NOW | RTLD_LOCAL);
    }
    return handle;
}

static long setting(const char* name) {
    const char* value = getenv(name);
    return value ? atol(value) : 0;
}

static long calls;
static long sentTotal;

static int inject_would_block(void) {
    long every = setting("FAULTSOCK_EAGAIN_EVERY");
    return every > 0 && ++calls % every == 0;
}

ssize_t send(int fd, const void* data, size_t length, int flags) {
    static ssize_t (*real)(int, const void*, size_t, int);
    if (!real) {
        real = (ssize_t(*)(int, const void*, size_t, int))dlsym(libc_handle(), "send");
    }
    if (inject_would_block()) {
        errno = EAGAIN;
        return -1;
    }
    long resetAfter = setting("FAULTSOCK_RESET_AFTER");
    if (resetAfter > 0 && sentTotal >= resetAfter) {
        errno = ECONNRESET;
        return -1;
    }
    long most = setting("FAULTSOCK_MAX_SEND");
    if (most > 0 && length > (size_t)most) {
        length = (size_t)most;
    }
    if (resetAfter > 0 && sentTotal + (long)length > resetAfter) {
        length = (size_t)(resetAfter - sentTotal);
    }
    ssize_t n = real(fd, data, length, flags);
    if (n > 0) {
        sentTotal += n;
    }
    return n;
}

ssize_t recv(int fd, void* data, size_t length, int flags) {
    static ssize_t (*real)(int, void*, size_t, int);
    if (!real) {
        real = (ssize_t(*)(int, void*, size_t, int))dlsym(libc_handle(), "recv");
    }
    if (inject_would_block()) {
        errno = EAGAIN;
        return -1;
    }
    long failWith = setting("FAULTSOCK_RECV_ERRNO");
    if (failWith > 0) {
        errno = (int)failWith;
        return -1;
    }
    long most = setting("FAULTSOCK_MAX_RECV");
    if (most > 0 && length > (size_t)most) {
        length = (size_t)most;
    }
    return real(fd, data, length, flags);
}

/* Lets a test start a new count. */
void faultsock_reset(void) {
    calls = 0;
    sentTotal = 0;
}
