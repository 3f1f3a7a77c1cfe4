#include "TempEnv.h"

#include <harlix/harlix.h>

#include <fstream>
#include <gtest/gtest.h>

using harlix::ComError;
using harlix::miscStuff;
namespace fs = std::filesystem;

TEST(LastDayOfMonth, FollowsTheCalendar) {
    miscStuff m;
    EXPECT_EQ(m.LastDayOfMonth(2, 2000), 29);
    EXPECT_EQ(m.LastDayOfMonth(2, 1900), 28);
    EXPECT_EQ(m.LastDayOfMonth(2, 2024), 29);
    EXPECT_EQ(m.LastDayOfMonth(2, 2023), 28);
    EXPECT_EQ(m.LastDayOfMonth(13, 2004), 0);
    EXPECT_EQ(m.LastDayOfMonth(0, 2004), 0);
    EXPECT_EQ(m.LastDayOfMonth(-1, 2004), 0);
    EXPECT_EQ(m.LastDayOfMonth(4, 2004), 30);
    EXPECT_EQ(m.LastDayOfMonth(11, 2004), 30);
    EXPECT_EQ(m.LastDayOfMonth(12, 2004), 31);
    EXPECT_EQ(m.LastDayOfMonth(7, 2004), 31);
    EXPECT_EQ(m.LastDayOfMonth(2, 0), 29) << "two-digit years are 2000s below 30";
}

TEST(WeekDates, StepToTheWeekEndsAndAcceptBothDateForms) {
    miscStuff m;
    // 2026-03-07 is a Saturday, 2026-03-08 a Sunday.
    EXPECT_EQ(m.GetSaturdayOfWeek("3/7/2026"), "3/7/2026");
    EXPECT_EQ(m.GetSaturdayOfWeek("3/3/2026"), "3/7/2026");
    EXPECT_EQ(m.GetSaturdayOfWeek("2026-03-08"), "3/14/2026");
    EXPECT_EQ(m.GetSundayOfWeek("3/8/2026"), "3/8/2026");
    EXPECT_EQ(m.GetSundayOfWeek("3/7/2026 10:30:00 AM"), "3/1/2026");
    EXPECT_EQ(m.GetSundayOfWeek("2026-01-01T08:00:00"), "12/28/2025") << "across the year";
    EXPECT_EQ(m.GetSaturdayOfWeek("12/31/2026"), "1/2/2027");
}

TEST(WeekDates, TextThatIsNotADateRaisesMinus21) {
    miscStuff m;
    for (const char* bad : {"", "hello", "2/30/2026", "13/1/2026", "2026-02-30", "1/2/3"}) {
        try {
            m.GetSaturdayOfWeek(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ComError& e) {
            EXPECT_EQ(e.number(), -21);
            EXPECT_EQ(e.source(), "GetSaturdayOfWeek");
            EXPECT_EQ(e.description(), "Invalid date specified.");
        }
    }
    try {
        m.GetSundayOfWeek("nope");
        ADD_FAILURE();
    } catch (const ComError& e) {
        EXPECT_EQ(e.source(), "GetSundayOfWeek");
    }
}

TEST(BaseConvert, ConvertsBetweenBases) {
    miscStuff m;
    EXPECT_EQ(m.BaseConvert("FF", 16, 2), "11111111");
    EXPECT_EQ(m.BaseConvert("ff", 16, 10), "255");
    EXPECT_EQ(m.BaseConvert(" 255 ", 10, 16), "FF");
    EXPECT_EQ(m.BaseConvert("8", 10, 2), "1000") << "exact powers keep their top digit";
    EXPECT_EQ(m.BaseConvert("1000", 2, 8), "10");
    EXPECT_EQ(m.BaseConvert("ZZ", 36, 10), "1295");
    EXPECT_EQ(m.BaseConvert("0", 10, 2), "0");
    EXPECT_EQ(m.BaseConvert("00012", 10, 3), "110");
    EXPECT_EQ(m.BaseConvert("99999999999999", 10, 36), "ZG3D62R5R");
    EXPECT_EQ(m.BaseConvert(" abc ", 7, 7), "abc") << "equal bases return the input";
}

TEST(BaseConvert, RejectsWhatItCannotConvert) {
    miscStuff m;
    EXPECT_EQ(m.BaseConvert("FG", 16, 10), "Conversion Error");
    EXPECT_EQ(m.BaseConvert("2", 2, 10), "Conversion Error");
    EXPECT_EQ(m.BaseConvert("   ", 10, 2), "Conversion Error");
    EXPECT_EQ(m.BaseConvert("-5", 10, 2), "Conversion Error");
    EXPECT_EQ(m.BaseConvert("999999999999999", 10, 2), "Conversion Error") << "over 14 digits";
    EXPECT_EQ(m.BaseConvert(std::string("1\0", 2), 10, 2), "Conversion Error");
    for (auto [in, out] : {std::pair{1, 10}, {10, 37}, {0, 0}}) {
        try {
            m.BaseConvert("1", in, out);
            ADD_FAILURE() << in << "->" << out;
        } catch (const ComError& e) {
            EXPECT_EQ(e.number(), -1);
            EXPECT_EQ(e.source(), "BaseConvert - validate");
            EXPECT_EQ(e.description(), "Invalid base specified. Valid values are 2-36.");
        }
    }
}

TEST(FormatSize, ThreeSignificantDigitsCutNotRounded) {
    miscStuff m;
    EXPECT_EQ(m.FormatSize(0), "0 bytes");
    EXPECT_EQ(m.FormatSize(532), "532 bytes");
    EXPECT_EQ(m.FormatSize(1023), "1023 bytes");
    EXPECT_EQ(m.FormatSize(1024), "1.00 KB");
    EXPECT_EQ(m.FormatSize(1340), "1.30 KB");
    EXPECT_EQ(m.FormatSize(23506), "22.9 KB");
    EXPECT_EQ(m.FormatSize(25690112), "24.5 MB");
    EXPECT_EQ(m.FormatSize(2400016), "2.28 MB");
    EXPECT_EQ(m.FormatSize(1048575), "0.99 MB") << "1023.9 KB moves up a unit";
    EXPECT_EQ(m.FormatSize(2400000000LL), "2.23 GB");
    EXPECT_EQ(m.FormatSize(999LL << 20), "999 MB");
    EXPECT_EQ(m.FormatSize(5LL << 40), "5.00 TB");
    EXPECT_EQ(m.FormatSize(INT64_MAX), "7.99 EB");
    EXPECT_EQ(m.FormatSize(-1340), "-1.30 KB");
}

TEST(NumFilesInDir, CountsFilesInNestedAndHiddenFolders) {
    harlix::test::TempDir dir;
    auto touch = [&](const std::string& rel) {
        fs::create_directories((dir.path() / rel).parent_path());
        std::ofstream(dir.path() / rel) << "x";
    };
    for (int i = 0; i < 12; ++i)
        touch("top" + std::to_string(i) + ".txt");
    touch(".hiddenfile");
    touch("a/b/c/deep.txt");
    touch("a/b/two.txt");
    touch(".git/objects/pack.idx");
    touch("with space/file name");
    fs::create_directories(dir.path() / "empty/also-empty");
    // A link to a folder is neither followed (no loop) nor counted as a file.
    fs::create_directory_symlink(dir.path() / "a", dir.path() / "a/b/loop");
    miscStuff m;
    EXPECT_EQ(m.NumFilesInDir(dir.path().string()), 17);
    EXPECT_EQ(m.NumFilesInDir(dir.path().string() + "/"), 17) << "a trailing slash is fine";
    EXPECT_EQ(m.NumFilesInDir((dir.path() / "a").string()), 2) << "the counter starts afresh";
    EXPECT_EQ(m.NumFilesInDir((dir.path() / "missing").string()), 0);
    EXPECT_EQ(m.NumFilesInDir((dir.path() / "top0.txt").string()), 0);
}
