// Server bytes, cut into reads of fuzzer-chosen sizes, through the line assembler, then read as
// replies the way the session reads them (continuations, preliminary lines, the EHLO keywords).
// The lines must be exactly those of a plain reference split of the whole input, whatever the
// read sizes and however long the lines.
#include "net/LineAssembler.h"
#include "smtp/EhloExtensions.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using mailvane::net::LineAssembler;

namespace {

// A line ends at CR, LF, CRLF or LFCR; what follows the last end is the rest.
std::vector<std::string> referenceLines(const std::string& data, std::string& rest) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n') {
            current += c;
            continue;
        }
        lines.push_back(current);
        current.clear();
        const char other = c == '\r' ? '\n' : '\r';
        if (i + 1 < data.size() && data[i + 1] == other)
            ++i;
    }
    rest = current;
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes pick the read sizes (1 to 4096, cycling through a small pattern).
    const std::size_t sizes[4] = {1u + data[0] % 7u, 1u + data[0] * 16u, 1u + data[1] % 3u,
                                  1u + data[1] * 16u};
    const std::string input(reinterpret_cast<const char*>(data) + 2, size - 2);

    LineAssembler assembler;
    std::vector<std::string> lines;
    std::string partial;
    std::size_t at = 0;
    for (int turn = 0;; ++turn) {
        std::string piece;
        const LineAssembler::Piece kind = assembler.next(piece);
        if (kind == LineAssembler::Piece::Line) {
            lines.push_back(partial + piece);
            partial.clear();
            continue;
        }
        if (kind == LineAssembler::Piece::Partial) {
            if (piece.size() != LineAssembler::kCapacity)
                std::abort(); // only a full buffer goes up as a partial line
            partial += piece;
            continue;
        }
        if (at == input.size())
            break;
        char* area = assembler.writeArea();
        const std::size_t n = std::min({sizes[turn % 4], assembler.freeSpace(), input.size() - at});
        if (n == 0)
            std::abort(); // a buffer with no line in it always has room
        std::memcpy(area, input.data() + at, n);
        assembler.commit(n);
        at += n;
    }
    const std::string rest = partial + assembler.takeRest();

    std::string expectedRest;
    const std::vector<std::string> expected = referenceLines(input, expectedRest);
    if (lines != expected || rest != expectedRest)
        std::abort();

    // Replies as the session reads them: continuation lines, then the line that ends the reply.
    std::vector<std::string> reply;
    for (const std::string& line : lines) {
        reply.push_back(line);
        if (line.size() >= 4 && line[3] == '-')
            continue;
        if (!line.empty() && line[0] == '1')
            continue;
        const mailvane::smtp::EhloExtensions found = mailvane::smtp::parseEhloReply(reply);
        if (found.startTls) {
            bool named = false;
            for (const std::string& l : reply)
                named = named || l.find_first_of("sS") != std::string::npos;
            if (!named)
                std::abort(); // STARTTLS cannot be found where no line names it
        }
        reply.clear();
    }
    return 0;
}
