#include "TempEnv.h"

#include <harlix/harlix.h>

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using harlix::ComError;
using harlix::RegSettings;
namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class RegSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { env.set("BREVANT_REGISTRY", store()); }
    std::string store() const { return dir / "registry"; }

    harlix::test::TempDir dir;
    harlix::test::ScopedEnv env;
    RegSettings reg;
};

TEST_F(RegSettingsTest, MissingOrEmptyValueGivesTheDefault) {
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SERVERADDR", "127.0.0.1"), "127.0.0.1");
    EXPECT_FALSE(fs::exists(store())) << "reading must not create the file";

    reg.SaveSetting("Velmora", "Brevant", "SERVERADDR", "");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SERVERADDR", "127.0.0.1"), "127.0.0.1");
    reg.SaveSetting("Velmora", "Brevant", "SERVERADDR", "10.0.0.5");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SERVERADDR", "127.0.0.1"), "10.0.0.5");
    EXPECT_EQ(reg.GetSetting("Velmora", "Other", "SERVERADDR", "x"), "x");
}

TEST_F(RegSettingsTest, TextSurvivesARoundTripExactly) {
    const std::vector<std::string> texts = {
        "plain",      "  spaces kept  ", "quote \" and back\\slash",     "line\nbreak\r\ttab",
        "a=b;c#d[e]", "Zoë – 東京",      std::string("nul\0inside", 10), "\x01\x7f"};
    int i = 0;
    for (const auto& text : texts)
        reg.SaveSetting("Velmora", "Brevant", "Key" + std::to_string(i++), text);
    i = 0;
    for (const auto& text : texts)
        EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Key" + std::to_string(i++), "?"), text);

    // Names with the same characters work too.
    reg.SaveSetting("Velmora", "Brevant", "odd \"name\"=x", "v");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "odd \"name\"=x"), "v");
}

TEST_F(RegSettingsTest, SectionAndValueNamesIgnoreCase) {
    reg.SaveSetting("Velmora", "Brevant", "ProxyOn", "1");
    EXPECT_EQ(reg.GetSetting("VELMORA", "BREVANT", "PROXYON", "0"), "1");
    reg.SaveSetting("velmora", "brevant", "proxyon", "0");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "ProxyOn"), "0");
    // Non-ASCII names fold as well.
    reg.SaveSetting("Velmora", "Ärger", "Größe", "1");
    EXPECT_EQ(reg.GetSetting("VELMORA", "äRGER", "GRÖßE"), "1");

    std::string text = readFile(store());
    EXPECT_EQ(text.find("[SOFTWARE\\velmora"), std::string::npos) << "one section, not two";
    EXPECT_EQ(text.find("proxyon"), std::string::npos) << "the first spelling is kept";
}

TEST_F(RegSettingsTest, ASectionNameEndingInABlankIsWrittenOnceAndReadBack) {
    reg.SaveSetting("Velmora", "Brevant ", "SERVERADDR", "10.0.0.1");
    reg.SaveSetting("Velmora", "Brevant ", "SERVERADDR", "10.0.0.2");
    reg.SaveSetting("Velmora", "Brevant  ", "SERVERPORT", "555");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant ", "SERVERADDR", "default"), "10.0.0.2");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant ", "SERVERPORT", "default"), "555");
    const std::string text = readFile(store());
    EXPECT_EQ(text, "[SOFTWARE\\Velmora\\Brevant]\n\"SERVERADDR\"=\"10.0.0.2\"\n"
                    "\"SERVERPORT\"=\"555\"\n")
        << text;
    EXPECT_TRUE(reg.DeleteSetting("Velmora", "Brevant ", "SERVERPORT"));
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SERVERPORT", "gone"), "gone");
}

TEST_F(RegSettingsTest, AByteOrderMarkDoesNotHideTheFirstSection) {
    const std::string bom = "\xEF\xBB\xBF";
    writeFile(store(), bom + "[SOFTWARE\\Velmora\\Brevant]\n\"SERVERADDR\"=\"10.1.1.1\"\n");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SERVERADDR", "default"), "10.1.1.1");
    reg.SaveSetting("Velmora", "Brevant", "SERVERADDR", "10.2.2.2");
    EXPECT_EQ(readFile(store()),
              bom + "[SOFTWARE\\Velmora\\Brevant]\n\"SERVERADDR\"=\"10.2.2.2\"\n");
}

// Files an editor on another system wrote: old Mac line ends (CR only) and UTF-16 with its
// byte-order mark. Each is read, and a save edits the section it holds instead of appending a
// second copy of it that the next reader might take instead.
TEST_F(RegSettingsTest, CarriageReturnLineEndsAndUtf16FilesAreReadAndEditedInPlace) {
    const std::string text = "[SOFTWARE\\Velmora\\Brevant]\n\"SMTPSvr\"=\"mail.example.com\"\n"
                             "\"SMTPFrom\"=\"Zo\u00eb <zoe@example.com>\"\n";
    auto utf16 = [&](bool bigEndian) {
        const std::u16string wide =
            u"[SOFTWARE\\Velmora\\Brevant]\r\n\"SMTPSvr\"=\"mail.example.com\"\r\n"
            u"\"SMTPFrom\"=\"Zo\u00eb <zoe@example.com>\"\r\n";
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : wide) {
            const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        return bytes;
    };
    std::string crOnly = text;
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    const std::vector<std::pair<const char*, std::string>> files = {
        {"CR only", crOnly}, {"UTF-16LE", utf16(false)}, {"UTF-16BE", utf16(true)}};
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        writeFile(store(), bytes);
        EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SMTPSvr", "none"), "mail.example.com");
        EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SMTPFrom", "none"),
                  "Zo\u00eb <zoe@example.com>");
        reg.SaveSetting("Velmora", "Brevant", "SMTPPort", "587");
        reg.SaveSetting("Velmora", "Brevant", "SMTPSvr", "smtp.example.com");
        const std::string saved = readFile(store());
        std::size_t sections = 0;
        for (std::size_t at = 0;
             (at = saved.find("[SOFTWARE\\Velmora\\Brevant]", at)) != std::string::npos; ++at)
            ++sections;
        EXPECT_EQ(sections, 1u) << saved;
        EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SMTPSvr", "none"), "smtp.example.com");
        EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SMTPFrom", "none"),
                  "Zo\u00eb <zoe@example.com>");
        EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SMTPPort", "none"), "587");
    }
}

TEST_F(RegSettingsTest, ALinkAtTheLockFileIsNotFollowed) {
    fs::create_symlink(dir / "created-elsewhere", store() + ".lock");
    EXPECT_THROW(reg.SaveSetting("Velmora", "Brevant", "SERVERADDR", "10.0.0.1"), ComError);
    EXPECT_FALSE(fs::exists(dir / "created-elsewhere"));
    EXPECT_FALSE(fs::exists(store()));
}

TEST_F(RegSettingsTest, NumbersAreStoredAsDwordsAndReadAsDecimalText) {
    reg.SaveSetting("Velmora", "Brevant", "Width", "1080", harlix::vsDWORDVal);
    reg.SaveSetting("Velmora", "Brevant", "Minus", " -1 ", harlix::vsDWORDVal);
    reg.SaveSetting("Velmora", "Brevant", "Zero", "0", harlix::vsDWORDVal);
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Width"), "1080");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Minus"), "-1");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Zero", "d"), "0");
    EXPECT_NE(readFile(store()).find("\"Width\"=dword:1080"), std::string::npos);

    for (const char* bad : {"12abc", "", "4294967296", "1.5"}) {
        try {
            reg.SaveSetting("Velmora", "Brevant", "Width", bad, harlix::vsDWORDVal);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const ComError& e) {
            EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x80070057u));
            EXPECT_EQ(e.source(), "RegSettings.SaveSetting");
        }
    }
    EXPECT_THROW(reg.SaveSetting("Velmora", "Brevant", "W", "1", static_cast<harlix::RegType>(3)),
                 ComError);
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Width"), "1080");
}

TEST_F(RegSettingsTest, ReadsAHandWrittenFileWithBinaryValuesAndOddSpacing) {
    writeFile(store(), "# settings\r\n"
                       "  [SOFTWARE\\Velmora\\Brevant]  \r\n"
                       "\"Blob\" = hex:41, 42,43\r\n"
                       "\"Empty\"=hex:\r\n"
                       "\"Count\"=DWORD:7\r\n"
                       "\"Name\"=\"x\"\r\n");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Blob"), "ABC");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Empty", "def"), "def");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Count"), "7");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Name"), "x");
}

TEST_F(RegSettingsTest, DamagedLinesAreKeptVerbatimAndNeverMadeWorse) {
    const std::string damaged = "[SOFTWARE\\Velmora\\Brevant]\n"
                                "\"Good\"=\"yes\"\n"
                                "\"Broken\"=dword:abc\n"
                                "\"Unterminated=\"value\n"
                                "garbage without quotes \x01\xff\n"
                                "[missing bracket\n"
                                "\"After\"=\"still read\"\n";
    writeFile(store(), damaged + "\"Tail\"=\"no newline\"");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Good"), "yes");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "After"), "still read");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Broken", "def"), "def");

    reg.SaveSetting("Velmora", "Brevant", "Broken", "5", harlix::vsDWORDVal);
    reg.SaveSetting("Velmora", "Brevant", "Good", "changed");
    std::string text = readFile(store());
    // Every unreadable line is still there, in order, byte for byte.
    size_t pos = 0;
    for (const char* line : {"\"Broken\"=dword:abc\n", "\"Unterminated=\"value\n",
                             "garbage without quotes \x01\xff\n", "[missing bracket\n"}) {
        size_t at = text.find(line, pos);
        ASSERT_NE(at, std::string::npos) << line;
        pos = at;
    }
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Broken"), "5");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Good"), "changed");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Tail"), "no newline");
}

TEST_F(RegSettingsTest, FileIsPrivateAndItsFolderIsCreated) {
    env.set("BREVANT_REGISTRY", dir / "a/b/registry");
    reg.SaveSetting("Velmora", "Brevant", "Password", "secret");
    struct stat st {};
    ASSERT_EQ(stat((dir / "a/b/registry").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // A file that was readable by others becomes private on the next write.
    chmod((dir / "a/b/registry").c_str(), 0644);
    reg.SaveSetting("Velmora", "Brevant", "Password", "other");
    ASSERT_EQ(stat((dir / "a/b/registry").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // No temporary files are left beside it.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir / "a/b"))
        files += e.path().filename() != "registry.lock";
    EXPECT_EQ(files, 1);
}

TEST_F(RegSettingsTest, AFailedWriteIsReportedAndLeavesTheFileIntact) {
    reg.SaveSetting("Velmora", "Brevant", "Keep", "me");
    writeFile(dir / "notadir", "x");
    env.set("BREVANT_REGISTRY", dir / "notadir/registry");
    try {
        reg.SaveSetting("Velmora", "Brevant", "Keep", "lost");
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.source(), "RegSettings.SaveSetting");
        EXPECT_NE(e.description().find("notadir"), std::string::npos) << e.description();
    }
    env.set("BREVANT_REGISTRY", store());
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Keep"), "me");
}

TEST_F(RegSettingsTest, WritesThroughASymbolicLink) {
    fs::create_directory(dir.path() / "real");
    fs::create_symlink(dir.path() / "real/registry", store());
    reg.SaveSetting("Velmora", "Brevant", "A", "1");
    EXPECT_TRUE(fs::is_symlink(store()));
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "A"), "1");
}

TEST_F(RegSettingsTest, DeleteSettingRemovesOneValue) {
    reg.SaveSetting("Velmora", "Brevant", "A", "1");
    reg.SaveSetting("Velmora", "Brevant", "B", "2");
    EXPECT_TRUE(reg.DeleteSetting("VELMORA", "brevant", "a"));
    EXPECT_FALSE(reg.DeleteSetting("Velmora", "Brevant", "A"));
    EXPECT_FALSE(reg.DeleteSetting("Velmora", "Nowhere", "B"));
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "A", "gone"), "gone");
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "B"), "2");
}

TEST_F(RegSettingsTest, DeleteAppEntriesRemovesTheApplicationsSectionsOnly) {
    reg.SaveSetting("Velmora", "Brevant", "A", "1");
    reg.SaveSetting("Velmora", "Other\\Deeper", "B", "2");
    reg.SaveSetting("VelmoraX", "Brevant", "C", "3");
    reg.SaveSetting("Keep", "Velmora", "D", "4");
    EXPECT_FALSE(reg.DeleteAppEntries(""));
    EXPECT_TRUE(reg.DeleteAppEntries("velmora"));
    EXPECT_FALSE(reg.DeleteAppEntries("Velmora"));
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "A", "-"), "-");
    EXPECT_EQ(reg.GetSetting("Velmora", "Other\\Deeper", "B", "-"), "-");
    EXPECT_EQ(reg.GetSetting("VelmoraX", "Brevant", "C"), "3");
    EXPECT_EQ(reg.GetSetting("Keep", "Velmora", "D"), "4");
    EXPECT_EQ(readFile(store()).find("SOFTWARE\\Velmora\\"), std::string::npos);
}

TEST_F(RegSettingsTest, ConcurrentWritersInSeparateProcessesLoseNothing) {
    reg.SaveSetting("Velmora", "Brevant", "Before", "kept");
    constexpr int kWriters = 4, kValues = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int rc = 0;
            try {
                RegSettings child;
                for (int i = 0; i < kValues; ++i)
                    child.SaveSetting("Velmora", "Brevant",
                                      "W" + std::to_string(w) + "_" + std::to_string(i),
                                      std::to_string(w * 1000 + i));
            } catch (...) {
                rc = 1;
            }
            _exit(rc);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValues; ++i)
            EXPECT_EQ(reg.GetSetting("Velmora", "Brevant",
                                     "W" + std::to_string(w) + "_" + std::to_string(i)),
                      std::to_string(w * 1000 + i));
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "Before"), "kept");
}

TEST(RegSettingsLocation, FollowsTheEnvironment) {
    harlix::test::ScopedEnv env;
    RegSettings reg;
    env.set("BREVANT_REGISTRY", "/somewhere/reg");
    EXPECT_EQ(reg.get_FileName(), "/somewhere/reg");
    env.set("BREVANT_REGISTRY", std::nullopt);
    env.set("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(reg.get_FileName(), "/cfg/Velmora/registry");
    env.set("XDG_CONFIG_HOME", std::nullopt);
    env.set("HOME", "/home/someone");
    EXPECT_EQ(reg.get_FileName(), "/home/someone/.config/Velmora/registry");
}

} // namespace
