// The composed output read back by Python's email, quopri, base64 and iso2022_jp decoders.
#include "MimeTestSupport.h"
#include "mailvane/mailvane.h"
#include "mime/Base64Encoder.h"
#include "mime/QuotedPrintableEncoder.h"

#include <gtest/gtest.h>

#include <random>

using namespace mailvane;
using namespace mimetest;

namespace {

std::string randomData(std::size_t n, std::mt19937& rng) {
    std::string out(n, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& c : out)
        c = static_cast<char>(byte(rng));
    return out;
}

// Text line ends are CRLF in quoted-printable, so a lone LF comes back as CRLF; inputs meant to
// round-trip exactly carry CRLF line ends only.
std::string withCrlfLineEnds(const std::string& data) {
    std::string out;
    out.reserve(data.size() + data.size() / 64);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r'))
            out += '\r';
        out += data[i];
    }
    return out;
}

template <class Encoder> std::string encodeAll(const std::string& data) {
    Encoder encoder;
    std::string out(Encoder::maxOutput(data.size()) + Encoder::maxOutput(0), '\0');
    std::size_t n = encoder.update(reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                                   out.data());
    n += encoder.finish(out.data() + n);
    out.resize(n);
    return out;
}

} // namespace

TEST(PythonChecks, MultipartMessageParsesIntoTheSamePartsAndBytes) {
    TempFolder tmp;
    std::mt19937 rng(2026);
    const std::string text = "Dear estimator, \r\nthe plans are attached.\r\n" +
                             std::string(180, 'p') + "\r\n.period line\r\nx=y\t\r\nend ";
    const std::string textFile =
        "Line one \r\nLine =two\r\n\tindented\r\n" + std::string(300, 'z') + "\r\nlast";
    const std::string binary = randomData(100000, rng);
    const std::string nonAsciiName = "pl\xc3\xa4ne-\xe6\x97\xa5\xe6\x9c\xac.pdf";
    const std::string pdf = randomData(777, rng);

    Mailvane m;
    m.put_CharsetMode(0);
    m.put_MessageText(text);
    m.AddAttachment(tmp.write("notes.txt", textFile).string());
    m.AddAttachment(tmp.write("drawing.dwg", binary).string());
    m.AddAttachment(tmp.write("empty.dat", "").string());
    m.AddAttachment(tmp.write(nonAsciiName, pdf).string());
    const ComposedMessage composed = m.Compose();
    const fs::path message = tmp.path() / "message.eml";
    writeFile(message, assemble(composed, "To: a@example.com\r\nFrom: b@example.com\r\n"
                                          "Subject: Plans"));
    const fs::path out = tmp.path() / "parts";
    fs::create_directory(out);

    std::string report;
    ASSERT_EQ(runChecker("parse " + message.string() + " " + out.string(), report), 0) << report;
    auto hex = [](const std::string& s) {
        static const char digits[] = "0123456789abcdef";
        std::string h;
        for (unsigned char c : s) {
            h += digits[c >> 4];
            h += digits[c & 15];
        }
        return h;
    };
    EXPECT_EQ(report, "part 0 text/plain quoted-printable - -\n"
                      "part 1 text/plain quoted-printable " +
                          hex("notes.txt") +
                          " -\n"
                          "part 2 application/octet-stream base64 " +
                          hex("drawing.dwg") +
                          " -\n"
                          "part 3 application/octet-stream base64 " +
                          hex("empty.dat") +
                          " -\n"
                          "part 4 application/octet-stream base64 " +
                          hex(nonAsciiName) + " -\n");
    EXPECT_EQ(readFile(out / "part0"), text);
    EXPECT_EQ(readFile(out / "part1"), textFile);
    EXPECT_EQ(readFile(out / "part2"), binary);
    EXPECT_EQ(readFile(out / "part3"), "");
    EXPECT_EQ(readFile(out / "part4"), pdf);
}

TEST(PythonChecks, EncodersRoundTripRandomDataOfManySizes) {
    TempFolder tmp;
    std::mt19937 rng(99);
    const std::size_t sizes[] = {0,    1,    2,    3,    4,     53,     54,     55,  71,
                                 72,   73,   75,   76,   77,    107,    108,    109, 1021,
                                 1022, 1023, 1024, 4095, 65536, 200003, 1048579};
    std::uniform_int_distribution<int> pick(0, 7);
    for (std::size_t size : sizes) {
        std::string name = "r";
        name += std::to_string(size); // (operator+ here trips a false -Wrestrict in GCC 12)
        const std::string stem = (tmp.path() / name).string();
        std::string data = randomData(size, rng);
        // Half the samples are text-like, rich in blanks, tabs and line ends near each other.
        if (size % 2 == 1)
            for (char& c : data)
                c = " \t\r\nab=."[pick(rng)];
        data = withCrlfLineEnds(data);
        writeFile(stem + ".bin", data);
        writeFile(stem + ".qp", encodeAll<mime::QuotedPrintableEncoder>(data));
        writeFile(stem + ".b64", encodeAll<mime::Base64Encoder>(data));
    }
    std::string report;
    EXPECT_EQ(runChecker("roundtrip " + tmp.path().string(), report), 0) << report;
    EXPECT_EQ(report, "checked " + std::to_string(2 * std::size(sizes)) + "\n");
}

TEST(PythonChecks, JapaneseHeaderAndBodyDecodeToTheShiftJisText) {
    TempFolder tmp;
    // 見積依頼 (estimate request), a run long enough to need several encoded words, half-width
    // katakana with voiced marks (ｶﾞｲﾄﾞ), and ASCII between.
    const std::string subject =
        "\x8c\xa9\x90\xcf\x88\xcb\x97\x8a Project-42 \x93\xfa\x96\x7b\x8c\xea\x82\xcc"
        "\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xc5\x82\xb7\x81\x42\x92\xb7\x82\xa2\x8c\x8f"
        "\x96\xbc\x82\xc5\x82\xb7 \xb6\xde\xb2\xc4\xde";
    const std::string body = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x81\x42\r\n"
                             "Plans attached. \xb6\xde\xb2\xc4\xde\r\n\x96\x7b\x93\xfa\r\n";
    const std::string from = "\"\x8e\x52\x93\x63 \x91\xbe\x98\x59\" <yamada@example.jp>";
    Mailvane m;
    m.put_CharsetMode(1);
    m.put_From(from);
    m.put_Subject(subject);
    m.put_MessageText(body);
    EXPECT_EQ(m.get_MessageText().find('\x82'), std::string::npos) << "stored as ISO-2022-JP";
    const fs::path subjectFile = tmp.write("subject.sjis", subject);
    const fs::path bodyFile = tmp.write("body.sjis", body);
    const fs::path fromFile = tmp.write("from.sjis", from);

    for (bool withAttachment : {false, true}) {
        if (withAttachment)
            m.AddAttachment(tmp.write("a.bin", "x").string());
        const ComposedMessage composed = m.Compose();
        const fs::path message = tmp.path() / "jp.eml";
        writeFile(message, assemble(composed, "To: a@example.jp\r\nFrom: " + m.get_From() +
                                                  "\r\n"
                                                  "Subject: " +
                                                  m.get_Subject()));
        std::string report;
        EXPECT_EQ(runChecker("japanese " + message.string() + " " + subjectFile.string() + " " +
                                 bodyFile.string() + " " + fromFile.string(),
                             report),
                  0)
            << report << (withAttachment ? " (multipart)" : " (plain)");
    }
}
