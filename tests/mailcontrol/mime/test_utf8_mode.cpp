// UTF-8 mode: encoded words for a Subject and display names, RFC 2231 file names, the utf-8
// text part; and an all-ASCII message that stays byte for byte what the control always sent.
#include "MimeTestSupport.h"
#include "mailvane/mailvane.h"
#include "mime/Base64Encoder.h"
#include "mime/HeaderTransform.h"
#include "mime/MessageComposer.h"
#include "mime/Utf8Headers.h"
#include "smtp/MessageText.h"

#include <gtest/gtest.h>

using namespace mailvane;
using namespace mimetest;

namespace {

std::string decodeBase64(std::string_view text) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const std::size_t v = alphabet.find(c);
        if (v == std::string::npos)
            continue;
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

// The words of an encoded value, decoded one by one.
std::vector<std::string> decodeWords(const std::string& value) {
    std::vector<std::string> words;
    for (std::size_t at = 0; (at = value.find("=?UTF-8?B?", at)) != std::string::npos;) {
        const std::size_t end = value.find("?=", at + 10);
        words.push_back(decodeBase64(value.substr(at + 10, end - at - 10)));
        EXPECT_LE(end + 2 - at, 75u) << "an encoded word is at most 75 characters";
        at = end + 2;
    }
    return words;
}

// What the session sends after DATA (before dot-stuffing), with the boundary made constant.
std::string wireText(Mailvane& m) {
    const ComposedMessage composed = m.Compose();
    smtp::MailMessage message;
    message.from = m.get_From();
    message.sendTo = m.get_SendTo();
    message.cc = m.get_Cc();
    message.subject = m.get_Subject();
    message.replyTo = m.get_ReplyTo();
    message.charsetMode = m.get_CharsetMode();
    message.headers = composed.headerText;
    std::string text = smtp::headerBlock(message) + composed.bodyText;
    if (composed.hasBodyFile())
        text += readFile(composed.bodyFile);
    const std::size_t at = text.find("boundary=\"");
    if (at != std::string::npos) {
        const std::string boundary = text.substr(at + 10, text.find('"', at + 10) - at - 10);
        for (std::size_t p; (p = text.find(boundary)) != std::string::npos;)
            text.replace(p, boundary.size(), "BOUNDARY");
    }
    return text;
}

void fillAscii(Mailvane& m, const TempFolder& tmp) {
    m.put_From("Estimator <estimator@example.com>");
    m.put_SendTo("Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>");
    m.put_Cc("carol@example.com");
    m.put_ReplyTo("office@example.com");
    m.put_Subject(
        "Plans for bid 42, addendum 3 and the revised specification sections of the east wing");
    m.put_OtherHeaders("X-Project: 42\r\n");
    m.put_MessageText("The plans are attached.\r\n.Regards\r\n");
    m.AddAttachment(tmp.write("plan.tif", std::string("\x00\x01\xff plan", 8)).string());
    m.AddAttachment(tmp.write("notes.txt", "Section 1 \r\n").string());
}

} // namespace

TEST(Utf8Mode, EncodedWordsSplitOnlyBetweenCharacters) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "\xc3\xa4\xe6\x97\xa5"; // ä日: two- and three-byte characters
    const std::string encoded = mime::utf8EncodedWords(text);
    const auto words = decodeWords(encoded);
    ASSERT_GT(words.size(), 3u);
    std::string joined;
    for (const std::string& word : words) {
        EXPECT_NE(static_cast<unsigned char>(word.front()) & 0xC0, 0x80u) << "starts mid-character";
        joined += word;
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(encoded.find("\r"), std::string::npos);
}

TEST(Utf8Mode, SubjectAndDisplayNamesBecomeEncodedWordsAndAsciiStaysAsFolded) {
    const std::string ascii = "aaaaaaa, bbbbbbb, ccccccc";
    EXPECT_EQ(mime::utf8Subject(ascii, 10), mime::foldHeader(ascii, 10));
    EXPECT_EQ(mime::utf8AddressHeader(ascii, 10), mime::foldHeader(ascii, 10));

    const std::string subject = "Pl\xc3\xa4ne f\xc3\xbcr Bau 42";
    const std::string encodedSubject = mime::utf8Subject(subject, 0);
    EXPECT_EQ(encodedSubject.rfind("=?UTF-8?B?", 0), 0u);
    std::string joined;
    for (const std::string& w : decodeWords(encodedSubject))
        joined += w;
    EXPECT_EQ(joined, subject);

    const std::string list = "\"M\xc3\xbcller, Hans\" <hans@example.com>, plain@example.com, "
                             "J\xc3\xb6rg <j@example.com>";
    const std::string encoded = mime::utf8AddressHeader(list, 0);
    EXPECT_EQ(encoded, "=?UTF-8?B?" + mime::base64("M\xc3\xbcller, Hans") +
                           "?= <hans@example.com>, plain@example.com, =?UTF-8?B?" +
                           mime::base64("J\xc3\xb6rg") + "?= <j@example.com>");
}

TEST(Utf8Mode, FileNamesTravelAsRfc2231WithAnEncodedWordBeside) {
    EXPECT_EQ(mime::rfc2231Value("pl\xc3\xa4n 1.pdf"), "UTF-8''pl%C3%A4n%201.pdf");
    TempFolder tmp;
    mime::CompositionInput input;
    input.utf8 = true;
    input.messageText = "Gr\xc3\xbc\xc3\x9f"
                        "e\r\n";
    input.attachments = {tmp.write("pl\xc3\xa4n.pdf", "x").string(),
                         tmp.write("a.pdf", "y").string()};
    const ComposedMessage composed = mime::composeMessage(input);
    const std::string file = readFile(composed.bodyFile);
    EXPECT_NE(file.find("Content-Type: text/plain; charset=utf-8\r\n"
                        "Content-Transfer-Encoding: quoted-printable\r\n\r\nGr=C3=BC=C3=9Fe\r\n"),
              std::string::npos)
        << file;
    const std::string word = mime::utf8EncodedWords("pl\xc3\xa4n.pdf");
    EXPECT_NE(file.find("Content-Type: application/octet-stream; name=\"" + word +
                        "\"\r\n"
                        "Content-Disposition: attachment; name=\"" +
                        word + "\"; filename*=UTF-8''pl%C3%A4n.pdf\r\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("name=\"a.pdf\"; filename=\"a.pdf\"\r\n"), std::string::npos);
}

TEST(Utf8Mode, PlainEightBitMessageIsLabelledAndQuotedPrintable) {
    mime::CompositionInput input;
    input.utf8 = true;
    input.otherHeaders = "X-Project: 42\r\n\r\n";
    input.messageText = "Gr\xc3\xbc\xc3\x9f"
                        "e\r\n";
    ComposedMessage composed = mime::composeMessage(input);
    EXPECT_EQ(composed.headerText,
              "X-Project: 42\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; "
              "charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable");
    EXPECT_EQ(composed.bodyText, "Gr=C3=BC=C3=9Fe\r\n");
    // A host that wrote its own Content-Type keeps the body as written.
    input.otherHeaders = "Content-Type: text/plain; charset=utf-8\r\n";
    composed = mime::composeMessage(input);
    EXPECT_EQ(composed.headerText, input.otherHeaders);
    EXPECT_EQ(composed.bodyText, input.messageText);
}

TEST(Utf8Mode, AllAsciiMessageIsByteIdenticalToTheGoldenFileInEveryMode) {
    const fs::path golden = fs::path(BREVANT_SOURCE_DIR) / "tests/mailcontrol/mime/golden";
    for (const char* name : {"ascii-multipart.eml", "ascii-plain.eml"}) {
        const bool multipart = std::string(name) == "ascii-multipart.eml";
        std::vector<std::string> texts;
        for (std::int32_t mode : {csAnsi, csUtf8}) {
            TempFolder tmp;
            Mailvane m;
            m.put_CharsetMode(mode);
            fillAscii(m, tmp);
            if (!multipart)
                m.put_AttachmentCount(0);
            texts.push_back(wireText(m));
        }
        EXPECT_EQ(texts[0], texts[1]) << name;
        if (std::getenv("MAILVANE_WRITE_GOLDEN") != nullptr) // refreshing the file on purpose
            std::ofstream(golden / name, std::ios::binary) << texts[0];
        EXPECT_EQ(texts[1], readFile(golden / name)) << name << ":\n" << texts[1];
    }
}
