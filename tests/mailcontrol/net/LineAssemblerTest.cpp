// Line assembly: every line end form, ends split across reads, and lines longer than the buffer.
#include "net/LineAssembler.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using mailvane::net::LineAssembler;

namespace {

// Feeds the chunks in order and collects what comes out ("~" marks a partial piece).
std::vector<std::string> run(const std::vector<std::string>& chunks) {
    LineAssembler lines;
    std::vector<std::string> out;
    for (const std::string& chunk : chunks) {
        std::size_t done = 0;
        while (done < chunk.size()) {
            done += lines.append(chunk.data() + done, chunk.size() - done);
            std::string piece;
            for (auto kind = lines.next(piece); kind != LineAssembler::Piece::None;
                 kind = lines.next(piece)) {
                out.push_back(kind == LineAssembler::Piece::Partial ? "~" + piece : piece);
            }
        }
    }
    return out;
}

} // namespace

TEST(LineAssembler, EveryLineEndFormEndsOneLine) {
    EXPECT_EQ(run({"a\r\nb\nc\rd\n\re\r\n"}), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    // Two ends in a row are an empty line between them.
    EXPECT_EQ(run({"a\r\n\r\nb\n\nc\r\n"}), (std::vector<std::string>{"a", "", "b", "", "c"}));
}

TEST(LineAssembler, PairSplitAcrossReadsCountsOnce) {
    EXPECT_EQ(run({"250 one\r", "\n250 two\r\n"}),
              (std::vector<std::string>{"250 one", "250 two"}));
    EXPECT_EQ(run({"x\n", "\ry\n"}), (std::vector<std::string>{"x", "y"}));
    // A lone CR at the end of a read followed by text is still a line end.
    EXPECT_EQ(run({"x\r", "y\r\n"}), (std::vector<std::string>{"x", "y"}));
}

TEST(LineAssembler, LineWithoutEndWaitsForMore) {
    EXPECT_EQ(run({"220 hel", "lo"}), std::vector<std::string>{});
    EXPECT_EQ(run({"220 hel", "lo\r\n"}), std::vector<std::string>{"220 hello"});
}

TEST(LineAssembler, FullBufferIsHandedOverAsPartialData) {
    const std::string longLine(LineAssembler::kCapacity + 100, 'x');
    const auto out = run({longLine + "\r\nnext\r\n"});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], "~" + std::string(LineAssembler::kCapacity, 'x'));
    EXPECT_EQ(out[1], std::string(100, 'x'));
    EXPECT_EQ(out[2], "next");
}
