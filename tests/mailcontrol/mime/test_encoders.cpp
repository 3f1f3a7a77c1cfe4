// The content encoders: exact output at the edges, and the same result however the input is
// sliced.
#include "mime/Base64Encoder.h"
#include "mime/QuotedPrintableEncoder.h"

#include <gtest/gtest.h>

#include <random>

using namespace mailvane::mime;

namespace {

std::string randomBytes(std::size_t n, std::mt19937& rng, const std::string& alphabet = "") {
    std::string out(n, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& c : out)
        c = alphabet.empty() ? static_cast<char>(byte(rng))
                             : alphabet[static_cast<std::size_t>(byte(rng)) % alphabet.size()];
    return out;
}

template <class Encoder> std::string encodeSliced(const std::string& data, std::mt19937& rng) {
    Encoder encoder;
    std::string out(Encoder::maxOutput(data.size()) + Encoder::maxOutput(0), '\0');
    std::size_t length = 0;
    std::uniform_int_distribution<std::size_t> step(0, 97);
    for (std::size_t at = 0; at < data.size();) {
        const std::size_t take = std::min(data.size() - at, step(rng));
        length += encoder.update(reinterpret_cast<const unsigned char*>(data.data() + at), take,
                                 out.data() + length);
        at += take;
    }
    length += encoder.finish(out.data() + length);
    out.resize(length);
    return out;
}

std::string base64Lines(const std::string& data) {
    Base64Encoder encoder;
    std::string out(Base64Encoder::maxOutput(data.size()), '\0');
    std::size_t n = encoder.update(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                                   out.data());
    n += encoder.finish(out.data() + n);
    out.resize(n);
    return out;
}

} // namespace

TEST(QuotedPrintable, BlankOrTabBeforeALineEndIsEscaped) {
    EXPECT_EQ(quotedPrintable("end \r\nnext"), "end=20\r\nnext");
    EXPECT_EQ(quotedPrintable("end\t\nnext"), "end=09\r\nnext");
    EXPECT_EQ(quotedPrintable("last "), "last=20");
    EXPECT_EQ(quotedPrintable("a  b"), "a  b");
    EXPECT_EQ(quotedPrintable("two  \r\n"), "two =20\r\n");
    // A blank before a lone CR is not at a line end; the CR is escaped.
    EXPECT_EQ(quotedPrintable("a \rb"), "a =0Db");
    EXPECT_EQ(quotedPrintable("a \r"), "a =0D");
}

TEST(QuotedPrintable, LineEndsAndEscapes) {
    EXPECT_EQ(quotedPrintable("a\nb\r\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(quotedPrintable("x=y"), "x=3Dy");
    EXPECT_EQ(quotedPrintable("\r\r\n"), "=0D\r\n");
    EXPECT_EQ(quotedPrintable(std::string("\x00\x7f\x80\xff", 4)), "=00=7F=80=FF");
    EXPECT_EQ(quotedPrintable("caf\xc3\xa9"), "caf=C3=A9");
    EXPECT_EQ(quotedPrintable(""), "");
}

TEST(QuotedPrintable, LongLineBreaksSoftlyEvery75Characters) {
    const std::string letters(200, 'a');
    EXPECT_EQ(quotedPrintable(letters), std::string(75, 'a') + "=\r\n" + std::string(75, 'a') +
                                            "=\r\n" + std::string(50, 'a'));
    // The break counter restarts at every line end.
    EXPECT_EQ(quotedPrintable(std::string(70, 'b') + "\n" + std::string(76, 'c')),
              std::string(70, 'b') + "\r\n" + std::string(75, 'c') + "=\r\nc");
}

TEST(QuotedPrintable, EscapesNeverPassColumn76) {
    // 72 letters then escapes: the escape at column 73 goes to the next line.
    EXPECT_EQ(quotedPrintable(std::string(72, 'a') + "==="),
              std::string(72, 'a') + "=3D=\r\n=3D=3D");
    EXPECT_EQ(quotedPrintable(std::string(73, 'a') + "="), std::string(73, 'a') + "=\r\n=3D");
    // A final blank escaped late on a line still keeps to 76 characters.
    EXPECT_EQ(quotedPrintable(std::string(74, 'a') + " "), std::string(74, 'a') + "=\r\n=20");
}

TEST(QuotedPrintable, SlicingDoesNotChangeTheOutput) {
    std::mt19937 rng(7);
    for (const std::string& alphabet : {std::string(), std::string(" \t\r\nab=")}) {
        for (std::size_t size : {1u, 2u, 3u, 75u, 76u, 500u, 5000u}) {
            const std::string data = randomBytes(size, rng, alphabet);
            EXPECT_EQ(encodeSliced<QuotedPrintableEncoder>(data, rng), quotedPrintable(data))
                << size;
        }
    }
}

TEST(Base64, LinesOf72CharactersEachEndedByCrlf) {
    EXPECT_EQ(base64Lines(""), "");
    EXPECT_EQ(base64Lines("M"), "TQ==\r\n");
    EXPECT_EQ(base64Lines("Ma"), "TWE=\r\n");
    EXPECT_EQ(base64Lines("Man"), "TWFu\r\n");
    const std::string full = base64Lines(std::string(54, '\0'));
    EXPECT_EQ(full, std::string(72, 'A') + "\r\n");
    const std::string longer = base64Lines(std::string(55, '\xff'));
    EXPECT_EQ(longer, std::string(72, '/') + "\r\n/w==\r\n");
    EXPECT_EQ(base64("user:pass"), "dXNlcjpwYXNz");
}

TEST(Base64, SlicingDoesNotChangeTheOutput) {
    std::mt19937 rng(11);
    for (std::size_t size : {1u, 53u, 54u, 55u, 108u, 1000u, 10007u}) {
        const std::string data = randomBytes(size, rng);
        EXPECT_EQ(encodeSliced<Base64Encoder>(data, rng), base64Lines(data)) << size;
    }
}
