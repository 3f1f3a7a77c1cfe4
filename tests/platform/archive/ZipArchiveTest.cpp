// Zip round trips, the empty archive, the refusal of entry names that would leave the folder and
// of entries holding more than they declare, and the private unpacking folder.
#include "LyingZip.h"
#include "platform/archive/ArchiveError.h"
#include "platform/archive/EntryName.h"
#include "platform/archive/TempFolder.h"
#include "platform/archive/ZipReader.h"
#include "platform/archive/ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace brevant::archive;

namespace {

class ZipArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/brevant-archive-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directory(dir / "out");
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir;
};

TEST(EntryNameTest, RefusesNamesThatLeaveTheFolder) {
    for (const char* bad : {"", ".", "..", "../x", "a/b", "/etc/passwd", "a\\b", "..\\x",
                            "C:evil.svd", "x..", "tab\tname"})
        EXPECT_FALSE(isSafeEntryName(bad)) << bad;
    for (const char* good : {"PLAN001", "PLAN.SVD", "03300.SVD", "ADD01_001.tif", "update-000001",
                             "Children's Hospital.xml"})
        EXPECT_TRUE(isSafeEntryName(good)) << good;
}

TEST_F(ZipArchiveTest, RoundTripsFilesAndBytesInOrder) {
    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 131) % 251);
    { std::ofstream(dir / "source.bin", std::ios::binary) << big; }
    ZipWriter writer(dir / "a.zip");
    writer.addBytes("first.xml", "<?xml version=\"1.0\"?><Jobs/>");
    writer.addFile("PLAN001", dir / "source.bin");
    writer.addBytes("empty", "");
    writer.write();

    ZipReader reader(dir / "a.zip");
    ASSERT_EQ(reader.entryCount(), 3);
    EXPECT_EQ(reader.entryName(0), "first.xml");
    EXPECT_EQ(reader.entryName(1), "PLAN001");
    EXPECT_EQ(reader.entrySize(1), big.size());
    EXPECT_EQ(reader.readAll(0), "<?xml version=\"1.0\"?><Jobs/>");

    fs::path written = reader.extract(1, dir / "out");
    EXPECT_EQ(written, dir / "out" / "PLAN001");
    EXPECT_EQ(slurp(written), big);
    EXPECT_EQ(fs::file_size(reader.extract(2, dir / "out")), 0u);
    EXPECT_FALSE(fs::exists(dir / "a.zip.part"));
}

TEST_F(ZipArchiveTest, EmptyArchiveIsAValidZipWithNoEntries) {
    ZipWriter(dir / "empty.zip").write();
    ASSERT_TRUE(fs::exists(dir / "empty.zip"));
    ZipReader reader(dir / "empty.zip");
    EXPECT_EQ(reader.entryCount(), 0);
    // The system's unzip agrees that it is a zip archive.
    std::string cmd = "unzip -l '" + (dir / "empty.zip").string() + "' >/dev/null 2>&1";
    int rc = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(rc));
    EXPECT_NE(WEXITSTATUS(rc), 9) << "unzip does not see a zip file";
}

TEST_F(ZipArchiveTest, HostileEntriesAreRefusedAndWriteNothing) {
    ZipWriter writer(dir / "hostile.zip");
    writer.addBytes("../escaped.txt", "x");
    writer.addBytes("/tmp/absolute.txt", "x");
    writer.addBytes("sub\\inner.txt", "x");
    writer.addBytes("sub/inner.txt", "x");
    writer.addBytes("fine.txt", "ok");
    writer.write();

    ZipReader reader(dir / "hostile.zip");
    ASSERT_EQ(reader.entryCount(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_THROW(reader.extract(i, dir / "out"), ArchiveError) << reader.entryName(i);
    EXPECT_FALSE(fs::exists(dir / "escaped.txt"));
    EXPECT_FALSE(fs::exists(dir / "out" / "sub"));
    EXPECT_EQ(reader.extract(4, dir / "out").filename(), "fine.txt");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "out"))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(ZipArchiveTest, ExistingFileInOtherCaseIsReplacedNotDuplicated) {
    { std::ofstream(dir / "out" / "plan.svd") << "old"; }
    ZipWriter writer(dir / "c.zip");
    writer.addBytes("PLAN.SVD", "new contents");
    writer.write();
    ZipReader reader(dir / "c.zip");
    fs::path written = reader.extract(0, dir / "out");
    EXPECT_EQ(written.filename(), "plan.svd");
    EXPECT_EQ(slurp(dir / "out" / "plan.svd"), "new contents");
    EXPECT_FALSE(fs::exists(dir / "out" / "PLAN.SVD"));
}

TEST_F(ZipArchiveTest, OversizedEntryIsRefusedAndRemoved) {
    ZipWriter writer(dir / "big.zip");
    writer.addBytes("big.bin", std::string(5000, 'z'));
    writer.write();
    ZipReader reader(dir / "big.zip");
    EXPECT_THROW(reader.extract(0, dir / "out", 4096), ArchiveError);
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(ZipArchiveTest, MissingOrCorruptArchiveThrows) {
    EXPECT_THROW(ZipReader(dir / "missing.zip"), ArchiveError);
    { std::ofstream(dir / "not.zip") << "this is not a zip archive at all"; }
    EXPECT_THROW(ZipReader(dir / "not.zip"), ArchiveError);
    // A truncated archive: the central directory is gone.
    ZipWriter writer(dir / "t.zip");
    writer.addBytes("a.txt", std::string(2000, 'a'));
    writer.write();
    fs::resize_file(dir / "t.zip", fs::file_size(dir / "t.zip") / 2);
    EXPECT_THROW(ZipReader(dir / "t.zip"), ArchiveError);
}

TEST_F(ZipArchiveTest, WritingIntoMissingFolderThrows) {
    ZipWriter writer(dir / "nowhere" / "x.zip");
    writer.addBytes("a", "b");
    EXPECT_THROW(writer.write(), ArchiveError);
}

TEST_F(ZipArchiveTest, LinksPlantedAtTemporaryNamesAreNeitherFollowedNorTouched) {
    { std::ofstream(dir / "victim.txt") << "precious"; }
    ZipWriter writer(dir / "d.zip");
    writer.addBytes("name", "from the archive");
    writer.write();
    // Links at the names a temporary file used to have, pointing at a file and at a name
    // that does not exist yet.
    fs::create_symlink(dir / "victim.txt", dir / "out" / "name.part");
    fs::create_symlink(dir / "created-elsewhere", dir / "out" / "name.part.tmp");
    ZipReader reader(dir / "d.zip");
    EXPECT_EQ(reader.extract(0, dir / "out"), dir / "out" / "name");
    EXPECT_EQ(slurp(dir / "out" / "name"), "from the archive");
    EXPECT_EQ(slurp(dir / "victim.txt"), "precious");
    EXPECT_FALSE(fs::exists(dir / "created-elsewhere"));
    EXPECT_TRUE(fs::is_symlink(dir / "out" / "name.part"));
    // Nothing else is left in the folder: the extracted file and the two links.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 3);

    // The writer too: its own temporary name is new, the planted link stays a link.
    fs::create_symlink(dir / "victim.txt", dir / "e.zip.part");
    ZipWriter empty(dir / "e.zip");
    empty.write();
    ZipWriter full(dir / "f.zip");
    fs::create_symlink(dir / "victim.txt", dir / "f.zip.part");
    full.addBytes("a", "b");
    full.write();
    EXPECT_EQ(slurp(dir / "victim.txt"), "precious");
    EXPECT_EQ(ZipReader(dir / "e.zip").entryCount(), 0);
    EXPECT_EQ(ZipReader(dir / "f.zip").readAll(0), "b");
    EXPECT_TRUE(fs::is_symlink(dir / "e.zip.part"));
}

TEST_F(ZipArchiveTest, AFailedExtractionLeavesNoTemporaryFile) {
    ZipWriter writer(dir / "g.zip");
    writer.addBytes("big.bin", std::string(5000, 'z'));
    writer.write();
    { std::ofstream(dir / "out" / "big.bin") << "kept"; }
    EXPECT_THROW(ZipReader(dir / "g.zip").extract(0, dir / "out", 4096), ArchiveError);
    EXPECT_EQ(slurp(dir / "out" / "big.bin"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);
}

TEST_F(ZipArchiveTest, AnEntryHoldingMoreThanItDeclaresStopsAtTheDeclaredSize) {
    // 8 MB of zeros declared as 100 bytes; every file of this process may grow to 1 MB only,
    // so an extraction that wrote on past the declared size would fail with "File too large".
    test::writeLyingZip(dir / "bomb.zip", "plan.svd", 8u << 20, 100);
    ZipReader reader(dir / "bomb.zip");
    EXPECT_EQ(reader.entrySize(0), 100u);
    {
        test::FileSizeLimit limit(1u << 20);
        try {
            reader.extract(0, dir / "out");
            ADD_FAILURE() << "extracted";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find("more than the 100 bytes it declares"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_THROW(reader.readAll(0), ArchiveError);
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(ZipArchiveTest, TempFolderIsNewPrivateAndRemovedWithWhatItHolds) {
    fs::path kept;
    {
        TempFolder a(dir, "unpack");
        TempFolder b(dir, "unpack");
        EXPECT_NE(a.path(), b.path());
        EXPECT_EQ(a.path().parent_path(), dir);
        EXPECT_EQ(fs::status(a.path()).permissions(), fs::perms::owner_all);
        { std::ofstream(dir / "outside.txt") << "stays"; }
        { std::ofstream(a.path() / "entry") << "goes"; }
        fs::create_symlink(dir / "outside.txt", a.path() / "link");
        kept = a.path();
    }
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_EQ(slurp(dir / "outside.txt"), "stays");
    EXPECT_THROW(TempFolder(dir / "missing", "unpack"), ArchiveError);
}

} // namespace
