// Multipart composition: part headers, the extension table, the layout and the failures.
#include "MimeTestSupport.h"
#include "mime/MessageComposer.h"
#include "mime/MimeErrors.h"
#include "mime/PartFiles.h"

#include <gtest/gtest.h>

using namespace mailvane;
using namespace mailvane::mime;
using namespace mimetest;

namespace {

int failureCode(const CompositionInput& input) {
    try {
        composeMessage(input);
    } catch (const MimeFailure& failure) {
        return failure.code();
    }
    return 0;
}

std::string boundaryOf(const std::string& headerText) {
    const std::size_t at = headerText.find("boundary=\"");
    return headerText.substr(at + 10, headerText.size() - at - 11);
}

} // namespace

TEST(MimeComposer, PlainMessageIsTheTextAndTheOtherHeaders) {
    CompositionInput input;
    input.otherHeaders = "X-Priority: 1\r\n";
    input.messageText = "Hello.\r\n";
    const ComposedMessage m = composeMessage(input);
    EXPECT_EQ(m.headerText, "X-Priority: 1\r\n");
    EXPECT_EQ(m.bodyText, "Hello.\r\n");
    EXPECT_FALSE(m.hasBodyFile());
}

TEST(MimeComposer, TxtAttachmentIsQuotedPrintableTextPlainWhateverTheCase) {
    TempFolder tmp;
    CompositionInput input;
    input.messageText = "Body line \r\n";
    input.attachments = {tmp.write("Notes.TXT", "x=1\r\n").string()};
    const ComposedMessage m = composeMessage(input);
    const std::string b = boundaryOf(m.headerText);
    const std::string expected = "--" + b +
                                 "\r\nContent-Type: text/plain\r\n"
                                 "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                                 "Body line=20\r\n"
                                 "\r\n--" +
                                 b +
                                 "\r\nContent-Type: text/plain; name=\"Notes.TXT\"\r\n"
                                 "Content-Disposition: attachment; name=\"Notes.TXT\"; "
                                 "filename=\"Notes.TXT\"\r\n"
                                 "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                                 "x=3D1\r\n"
                                 "\r\n--" +
                                 b + "--\r\n";
    EXPECT_EQ(readFile(m.bodyFile), expected);
}

TEST(MimeComposer, OtherExtensionsNoneOrDoubleAreBase64OctetStream) {
    TempFolder tmp;
    for (const std::string name : {"README", "archive.tar.gz", "plan.tif", "photo.JPG"}) {
        CompositionInput input;
        input.attachments = {tmp.write(name, "abc").string()};
        const ComposedMessage m = composeMessage(input);
        const std::string body = readFile(m.bodyFile);
        const std::string type = name == "photo.JPG" ? "image/jpg" : "application/octet-stream";
        EXPECT_NE(body.find("Content-Type: " + type + "; name=\"" + name +
                            "\"\r\n"
                            "Content-Disposition: attachment; name=\"" +
                            name + "\"; filename=\"" + name +
                            "\"\r\n"
                            "Content-Transfer-Encoding: base64\r\n\r\nYWJj\r\n"),
                  std::string::npos)
            << name << "\n"
            << body;
    }
}

TEST(MimeComposer, NameIsTheTextAfterTheLastFolderSeparator) {
    EXPECT_EQ(attachmentBaseName("/home/u/Download/plan.tif"), "plan.tif");
    EXPECT_EQ(attachmentBaseName("C:\\docs\\plan.tif"), "plan.tif");
    EXPECT_EQ(attachmentBaseName("plan.tif"), "plan.tif");
}

TEST(MimeComposer, EmptyAttachmentHasHeadersAndAnEmptyBody) {
    TempFolder tmp;
    CompositionInput input;
    input.attachments = {tmp.write("empty.bin", "").string()};
    const ComposedMessage m = composeMessage(input);
    const std::string b = boundaryOf(m.headerText);
    const std::string body = readFile(m.bodyFile);
    const std::string tail = "Content-Transfer-Encoding: base64\r\n\r\n\r\n--" + b + "--\r\n";
    ASSERT_GE(body.size(), tail.size());
    EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
}

TEST(MimeComposer, MimeHeaderAndBoundaryShape) {
    // Tue 8 Dec 2026 03:04:05 UTC
    const std::string b = makeBoundary(3, 1796699045, 1000);
    EXPECT_EQ(b, "--boundary.mvn.20261228345.3000");
    const std::string header = mimeHeaderText(b);
    EXPECT_EQ(header.rfind("MIME-Version: 1.0 (", 0), 0u);
    EXPECT_NE(header.find(")\r\nContent-Type: multipart/mixed; boundary=\"" + b + "\""),
              std::string::npos);
    EXPECT_NE(header.back(), '\n');
    TempFolder tmp;
    CompositionInput input;
    input.otherHeaders = "X-A: 1\r\n";
    input.attachments = {tmp.write("a", "").string()};
    const ComposedMessage m = composeMessage(input);
    EXPECT_EQ(m.headerText.rfind("X-A: 1\r\nMIME-Version: 1.0 (", 0), 0u);
    EXPECT_EQ(m.bodyText, "\r\nThis is a message encoded in MIME format.\r\n\r\n");
}

TEST(MimeComposer, FailuresCarryTheirCodes) {
    TempFolder tmp;
    CompositionInput input;
    input.attachments = {""};
    EXPECT_EQ(failureCode(input), kNoFileGiven);
    input.attachments = {(tmp.path() / "missing").string()};
    EXPECT_EQ(failureCode(input), kNoFileGiven);
    input.attachments = {tmp.path().string()}; // a folder is no file
    EXPECT_EQ(failureCode(input), kNoFileGiven);
    input.attachments = {"/" + std::string(1023, 'x')};
    EXPECT_EQ(failureCode(input), kFileNameTooLong);
    EXPECT_STREQ(mimeErrorText(kFileNameTooLong), "The given filename doesn't exist");
    input.attachments = {tmp.write("ok", "1").string()};
    setenv("TMPDIR", (tmp.path() / "nowhere").c_str(), 1);
    EXPECT_EQ(failureCode(input), kCantCreateTempFile);
    setenv("TMPDIR", tmp.path().c_str(), 1);
    // A failure after the temporary file was made leaves no file behind.
    input.attachments = {tmp.write("ok", "1").string(), (tmp.path() / "missing").string()};
    EXPECT_EQ(failureCode(input), kNoFileGiven);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(tmp.path()))
        files += entry.path().filename().string().rfind("mvf", 0) == 0;
    EXPECT_EQ(files, 0u);
}

TEST(MimeComposer, UnreadableAttachmentFailsWhenEncoded) {
    TempFolder tmp;
    const fs::path file = tmp.write("locked.bin", "secret");
    fs::permissions(file, fs::perms::none);
    if (std::ifstream(file).good())
        GTEST_SKIP() << "running with rights that ignore file modes";
    CompositionInput input;
    input.attachments = {file.string()};
    EXPECT_EQ(failureCode(input), kNoFileGiven);
}

TEST(MimeComposer, FileBuffersAreSizedToTheFile) {
    std::size_t size = 0;
    EXPECT_NE(allocateFileBuffer(0, size), nullptr);
    EXPECT_EQ(size, 1024u);
    allocateFileBuffer(5000, size);
    EXPECT_EQ(size, 5000u);
    allocateFileBuffer(std::uint64_t{1} << 33, size);
    EXPECT_EQ(size, 512u * 1024u);
}

TEST(MimeComposer, NamesCannotBreakOutOfTheirHeaderLine) {
    MimePart part;
    part.contentType = "application/octet-stream";
    part.disposition = "attachment";
    part.name = part.fileName = "a\"b\\c\r\nX-Injected: 1.bin";
    part.encoding = Encoding::Base64;
    EXPECT_EQ(part.headerBlock(),
              "Content-Type: application/octet-stream; name=\"a\\\"b\\\\c  X-Injected: 1.bin\"\r\n"
              "Content-Disposition: attachment; name=\"a\\\"b\\\\c  X-Injected: 1.bin\"; "
              "filename=\"a\\\"b\\\\c  X-Injected: 1.bin\"\r\n"
              "Content-Transfer-Encoding: base64\r\n");
}

// The cache's page files have no extension; their bytes say what they are. A name the table
// knows keeps its type whatever the bytes, and unknown bytes stay octet-stream.
TEST(MimeComposer, TypeOfAnAttachmentWhoseNameGivesNoneComesFromItsFirstBytes) {
    TempFolder tmp;
    const std::string tiffLittle("II*\0\x08\0\0\0page", 12);
    const std::string tiffBig("MM\0*\0\0\0\x08page", 12);
    const struct {
        std::string name;
        std::string bytes;
        std::string type;
    } cases[] = {
        {"PLAN001", tiffLittle, "image/tiff"},
        {"PLAN002", tiffBig, "image/tiff"},
        {"plan.tif", tiffLittle, "image/tiff"},
        {"0100", "%PDF-1.4\n%\xE2\xE3\n", "application/pdf"},
        {"photo", "\x89PNG\r\n\x1a\n....", "image/png"},
        {"scan", "\xFF\xD8\xFF\xE0..JFIF", "image/jpeg"},
        {"logo", "GIF89a....", "image/gif"},
        {"archive.tar.gz", "\x1f\x8b\x08\0....", "application/octet-stream"},
        {"II", "II", "application/octet-stream"},
        {"notes.txt", "%PDF-1.4\n", "text/plain"},
        {"picture.gif", tiffLittle, "image/gif"},
    };
    for (const auto& c : cases) {
        CompositionInput input;
        input.attachments = {tmp.write(c.name, c.bytes).string()};
        const ComposedMessage m = composeMessage(input);
        const std::string body = readFile(m.bodyFile);
        EXPECT_NE(body.find("\r\nContent-Type: " + c.type + "; name=\"" + c.name + "\"\r\n"),
                  std::string::npos)
            << c.name << "\n"
            << body;
    }
}
