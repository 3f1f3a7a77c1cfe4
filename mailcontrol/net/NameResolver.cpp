#include "net/NameResolver.h"

#include "net/SocketErrors.h"
#include "net/SocketLibrary.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>

namespace mailvane::net {

namespace {

// A name or dotted address has no blanks or control characters anywhere.
bool isNameText(const std::string& name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

} // namespace

Resolution resolveIpv4(const std::string& name) {
    Resolution result;
    if (name.empty()) {
        return result;
    }
    if (!isNameText(name)) {
        // inet_aton would take "127.0.0.1" from "127.0.0.1 anything" (and c_str() ends at a NUL).
        result.code = kHostNotFound;
        return result;
    }
    in_addr dotted{};
    if (::inet_aton(name.c_str(), &dotted) != 0) {
        result.address = dotted.s_addr;
        return result;
    }
    if (!SocketLibrary::isLoaded()) {
        return result;
    }
    const SocketFunctions& api = SocketLibrary::api();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    errno = 0;
    const int rc = api.getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (rc != 0) {
        result.code = socketErrorFromResolver(rc, errno);
        if (result.code == kNotInitialised) {
            result.code = 0;
        }
        return result;
    }
    for (addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
            result.address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    api.freeaddrinfo(list);
    if (result.address == 0) {
        result.code = kNoData;
    }
    return result;
}

std::string formatIpv4(Ipv4Address address) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr value{};
    value.s_addr = address;
    ::inet_ntop(AF_INET, &value, text, sizeof text);
    return text;
}

} // namespace mailvane::net
