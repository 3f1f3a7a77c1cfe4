#pragma once
// Splits received bytes into lines. A line ends at CR, LF, CRLF or LFCR (a pair counts as one
// end, also when its two bytes arrive in different reads). The buffer holds 2048 bytes; when
// it is full without a line end, its bytes are handed over as a partial line so that a long
// line never stalls the connection.
#include <array>
#include <cstddef>
#include <string>

namespace mailvane::net {

class LineAssembler {
public:
    static constexpr std::size_t kCapacity = 2048;

    enum class Piece { None, Line, Partial };

    // Room for the next read: write into writeArea(), then commit() what was read.
    char* writeArea();
    std::size_t freeSpace() const { return kCapacity - fill_; }
    void commit(std::size_t count);
    // Appends as much as fits and returns how much that was.
    std::size_t append(const char* data, std::size_t length);

    // The next complete line (without its end) or, with a full buffer, the buffered bytes as a
    // partial line; None when more data is needed.
    Piece next(std::string& out);

    // Everything not handed over yet (the last line of a stream that ended without a line end).
    std::string takeRest();

    bool empty() const { return read_ == fill_; }
    void clear();

private:
    void compact();

    std::array<char, kCapacity> buffer_{};
    std::size_t read_ = 0;
    std::size_t fill_ = 0;
    char skipNext_ = 0; // second byte of a CRLF/LFCR pair still to come
};

} // namespace mailvane::net
