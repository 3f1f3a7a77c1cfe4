#include "base/Settings.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <harlix/harlix.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const char* old = std::getenv("BREVANT_REGISTRY");
        saved = old ? QByteArray(old) : QByteArray();
        hadOld = old != nullptr;
        qputenv("BREVANT_REGISTRY", dir.filePath("registry").toUtf8());
    }
    void TearDown() override {
        if (hadOld)
            qputenv("BREVANT_REGISTRY", saved);
        else
            qunsetenv("BREVANT_REGISTRY");
    }

    QTemporaryDir dir;
    QByteArray saved;
    bool hadOld = false;
};

TEST_F(SettingsTest, WritesUnderVelmoraBrevantAndReadsBack) {
    EXPECT_EQ(brevant::ReadSetting("SERVERPORT", "555"), "555");
    brevant::WriteSetting("SERVERPORT", "5555");
    brevant::WriteSetting("CacheLocation", QStringLiteral("/home/zoë/Cache"));
    EXPECT_EQ(brevant::ReadSetting("serverport", "555"), "5555");
    EXPECT_EQ(brevant::ReadSetting("CacheLocation"), QStringLiteral("/home/zoë/Cache"));

    harlix::RegSettings reg;
    EXPECT_EQ(reg.GetSetting("Velmora", "Brevant", "SERVERPORT"), "5555");
}

TEST_F(SettingsTest, AnEmptyValueReadsAsTheDefault) {
    brevant::WriteSetting("LastUpdate", "");
    EXPECT_EQ(brevant::ReadSetting("LastUpdate", "1/1/1900"), "1/1/1900");
}

TEST_F(SettingsTest, AnUnwritableStoreIsReportedNotIgnored) {
    qputenv("BREVANT_REGISTRY", "/proc/no-such-dir/registry");
    EXPECT_THROW(brevant::WriteSetting("A", "1"), harlix::ComError);
}

} // namespace
