#include "ShellTestEnv.h"
#include "base/ChosenStore.h"
#include "base/Settings.h"
#include "base/modResources.h"

#include <gtest/gtest.h>

namespace brevant::shell::test {
namespace {

using db::StoreLocator;

class ChosenStoreTest : public ::testing::Test {
protected:
    void TearDown() override { base::ClearStoreOverride(); }
    ShellTestEnv env;
};

TEST_F(ChosenStoreTest, WithoutStoreSettingItIsThisComputersFileInTheDataFolder) {
    // Nothing loaded yet: DATALOC, else the program folder's Work.
    StoreLocator s = base::ChosenStore();
    EXPECT_EQ(s.kind(), StoreLocator::Kind::SqliteFile);
    EXPECT_EQ(s.text(), env.work() + QStringLiteral("/Desktop.mdb"));
    EXPECT_TRUE(base::ChosenStoreIsThisComputer());

    WriteSetting(QStringLiteral("DATALOC"), env.path(QStringLiteral("elsewhere")));
    EXPECT_EQ(base::ChosenStore().text(), env.path(QStringLiteral("elsewhere/Desktop.mdb")));

    // Once the settings are loaded, the folder in use wins over the setting.
    modResources::DataLocation = env.path(QStringLiteral("loaded"));
    EXPECT_EQ(base::ChosenStore().text(), env.path(QStringLiteral("loaded/Desktop.mdb")));

    // A blank STORE is no choice either.
    WriteSetting(QStringLiteral("STORE"), QStringLiteral("   "));
    EXPECT_TRUE(base::ChosenStoreIsThisComputer());
    EXPECT_EQ(base::ChosenStore().kind(), StoreLocator::Kind::SqliteFile);
}

TEST_F(ChosenStoreTest, StoreSettingAndOverrideNameTheStore) {
    WriteSetting(QStringLiteral("STORE"), QStringLiteral("host=db.firm.example dbname=projects"));
    StoreLocator s = base::ChosenStore();
    EXPECT_EQ(s.kind(), StoreLocator::Kind::PostgreSql);
    EXPECT_EQ(s.text(), QStringLiteral("host=db.firm.example dbname=projects"));
    EXPECT_FALSE(base::ChosenStoreIsThisComputer());

    // --store wins over the setting without writing it, and goes away when cleared.
    base::OverrideStore(StoreLocator::parse(QStringLiteral("service=firm")));
    EXPECT_TRUE(base::HasStoreOverride());
    EXPECT_EQ(base::ChosenStore().text(), QStringLiteral("service=firm"));
    EXPECT_EQ(ReadSetting(QStringLiteral("STORE")),
              QStringLiteral("host=db.firm.example dbname=projects"));
    base::ClearStoreOverride();
    EXPECT_EQ(base::ChosenStore().text(), QStringLiteral("host=db.firm.example dbname=projects"));

    // An override naming a file is still not "this computer's" store.
    WriteSetting(QStringLiteral("STORE"), QString());
    base::OverrideStore(StoreLocator::parse(env.path(QStringLiteral("other.mdb"))));
    EXPECT_FALSE(base::ChosenStoreIsThisComputer());
    EXPECT_EQ(base::ChosenStore().text(), env.path(QStringLiteral("other.mdb")));
    // An empty override means none.
    base::OverrideStore(StoreLocator::parse(QString()));
    EXPECT_FALSE(base::HasStoreOverride());
    EXPECT_TRUE(base::ChosenStoreIsThisComputer());
}

} // namespace
} // namespace brevant::shell::test
