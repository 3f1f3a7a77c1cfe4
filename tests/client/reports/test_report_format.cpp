// Type names, padding, money and date forms of the reports.
#include "reports/ReportFormat.h"

#include <gtest/gtest.h>

using namespace brevant::reports;

TEST(ReportFormat, ContactTypeNamesComparedInUpperCase) {
    const QList<std::pair<QString, QString>> table = {{"A", "ARCHITECT"},
                                                      {"e", "ENGINEER"},
                                                      {"O", "OWNER"},
                                                      {"owner", "OWNER"},
                                                      {"GENERAL CO", "GENERAL CONTACTOR"},
                                                      {"cm", "CM"},
                                                      {"Design", "DESIGNER"},
                                                      {"B", "BIDDER"},
                                                      {"XYZ", ""},
                                                      {"", ""},
                                                      {"GENERAL CONTRACTOR", ""}};
    for (const auto& [type, name] : table)
        EXPECT_EQ(ContactTypeName(type), name) << type.toStdString();
}

TEST(ReportFormat, PadRightFillsButNeverCuts) {
    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadRight("", 3), "   ");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    EXPECT_EQ(PadRight("abc", 3), "abc");
}

TEST(ReportFormat, MoneyRoundsGroupsAndLeavesNullEmpty) {
    EXPECT_EQ(FormatMoney(1234567.5), "$1,234,568");
    EXPECT_EQ(FormatMoney(qlonglong(999)), "$999");
    EXPECT_EQ(FormatMoney(0.4), "$0");
    EXPECT_EQ(FormatMoney(-2500.0), "-$2,500");
    EXPECT_EQ(FormatMoney(QVariant()), "");
    EXPECT_EQ(FormatMoney(QString()), "");
    EXPECT_EQ(FormatMoney("12500"), "$12,500");
    EXPECT_EQ(FormatMoney("TBD"), "TBD");
}

TEST(ReportFormat, DatesInTheFixedAndTheDefaultForm) {
    const QDateTime afternoon(QDate(2026, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(FormatMmDdYyyy(afternoon), "03/05/2026");
    EXPECT_EQ(FormatMmDdYyyy("3/5/2026"), "03/05/2026");
    EXPECT_EQ(FormatMmDdYyyy("2026-03-05 00:00:00"), "03/05/2026");
    EXPECT_EQ(FormatMmDdYyyy("CALL FOR DATE"), "CALL FOR DATE");
    EXPECT_EQ(FormatMmDdYyyy("13/45/2026"), "13/45/2026");
    EXPECT_EQ(FormatMmDdYyyy(QVariant()), "");
    EXPECT_EQ(DefaultDateText(afternoon), "3/5/2026 2:07:09 PM");
    EXPECT_EQ(DefaultDateText(QDateTime(QDate(2026, 12, 8), QTime(0, 0))), "12/8/2026");
    EXPECT_EQ(DefaultDateText(QVariant("not a date")), "not a date");
}

TEST(ReportFormat, YesNoValues) {
    EXPECT_TRUE(IsTrue(true));
    EXPECT_TRUE(IsTrue(qlonglong(-1)));
    EXPECT_TRUE(IsTrue(qlonglong(1)));
    EXPECT_TRUE(IsTrue("True"));
    EXPECT_FALSE(IsTrue(QVariant()));
    EXPECT_FALSE(IsTrue(qlonglong(0)));
    EXPECT_FALSE(IsTrue(false));
    EXPECT_FALSE(IsTrue("0"));
}
