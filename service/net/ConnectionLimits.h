#pragma once
// How many connections a listening socket of the service holds, and how long a new one may stay
// silent (README.md: --max-connections, --max-per-address, --first-bytes-ms).

namespace brevant::service {

struct ConnectionLimits {
    int total = 256;         // connections open at once on one listening socket
    int perAddress = 32;     // ... of which from one client address
    int firstBytesMs = 5000; // a new connection must have sent its first bytes by then
};

} // namespace brevant::service
