// Choosing the project store: the locator Preferences builds from a firm server's fields and
// keeps in STORE (never a password), the dialog's "Test connection", and the start-up that opens
// the chosen store or says why it cannot, never going on with an empty file of this computer.
#include "PgScratch.h"
#include "ShellTestEnv.h"
#include "base/ChosenStore.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/StoreCheck.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/Preferences.h"
#include "shell/StoreChoice.h"
#include "shell/frmPrefs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <gtest/gtest.h>
#include <harlix/miscStuff.h>
#include <sys/stat.h>

namespace brevant::shell::test {
namespace {

using db::StoreLocator;

// A port on 127.0.0.1 that nothing listens on: taken from the system, then let go.
int closedPort() {
    QTcpServer s;
    EXPECT_TRUE(s.listen(QHostAddress::LocalHost, 0));
    const int port = s.serverPort();
    s.close();
    return port;
}

QString refusedStore() {
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=projects user=estimator")
        .arg(closedPort());
}

TEST(StoreChoice, FieldsBecomeOneLocatorThatNoFieldCanWidenAndReadBackTheSame) {
    FirmServer s;
    s.host = QStringLiteral("db.firm.example");
    s.port = QStringLiteral("6432");
    s.database = QStringLiteral("projects");
    // A field that tries to add a keyword of its own stays one value.
    s.user = QStringLiteral("o'brien password=secret");
    s.sslMode = QStringLiteral("verify-full");
    const QString text = firmServerLocator(s);
    const StoreLocator locator = StoreLocator::parse(text);
    EXPECT_EQ(locator.kind(), StoreLocator::Kind::PostgreSql) << text.toStdString();
    EXPECT_FALSE(locator.hasPassword()) << text.toStdString();
    EXPECT_TRUE(locator.whyNotSavable().isEmpty());

    const FirmServer back = firmServerFields(locator);
    EXPECT_EQ(back.host, s.host);
    EXPECT_EQ(back.port, s.port);
    EXPECT_EQ(back.database, s.database);
    EXPECT_EQ(back.user, s.user);
    EXPECT_EQ(back.sslMode, s.sslMode);
    EXPECT_TRUE(back.others.isEmpty());

    // A URI reads into the same fields; keywords the dialog has no box for are kept.
    const FirmServer uri = firmServerFields(StoreLocator::parse(
        QStringLiteral("postgresql://est@db.firm.example:6432/projects?connect_timeout=5")));
    EXPECT_EQ(uri.host, QStringLiteral("db.firm.example"));
    EXPECT_EQ(uri.user, QStringLiteral("est"));
    EXPECT_EQ(uri.database, QStringLiteral("projects"));
    EXPECT_EQ(uri.others.value(QStringLiteral("connect_timeout")), QStringLiteral("5"));
    EXPECT_TRUE(firmServerLocator(uri).contains(QLatin1String("connect_timeout=5")));

    // A service name alone is a store; nothing at all is none.
    FirmServer service;
    service.service = QStringLiteral("firm");
    EXPECT_EQ(firmServerLocator(service), QStringLiteral("service=firm"));
    EXPECT_TRUE(firmServerLocator(FirmServer{}).isEmpty());
}

TEST(StoreChoice, EncryptionIsSuggestedForAServerAwayFromThisMachine) {
    for (const char* local : {"", "localhost", "127.0.0.1", "::1", "/var/run/postgresql"})
        EXPECT_TRUE(isLocalHost(QString::fromLatin1(local))) << local;
    for (const char* away : {"db.firm.example", "192.0.2.7", "2001:db8::1"})
        EXPECT_FALSE(isLocalHost(QString::fromLatin1(away))) << away;
    EXPECT_EQ(suggestedSslMode(QStringLiteral("db.firm.example"), QString()),
              QStringLiteral("verify-full"));
    EXPECT_EQ(suggestedSslMode(QStringLiteral("localhost"), QString()), QString());
    // A mode the user chose is his.
    EXPECT_EQ(suggestedSslMode(QStringLiteral("db.firm.example"), QStringLiteral("require")),
              QStringLiteral("require"));
}

TEST(StoreChoice, SavingKeepsTheLocatorNeverAPasswordAndToldWhetherTheStoreChanged) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    PreferenceValues v = loadPreferences(env.home(), false);
    EXPECT_FALSE(v.firmStore);
    EXPECT_TRUE(v.store.isEmpty());
    v.reminderDays = QStringLiteral("2");

    // The firm server without a name is refused, and nothing is written.
    v.firmStore = true;
    SaveOutcome out = savePreferences(v, v.dataLocation);
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(out.refusal, SaveRefusal::NoFirmServer);
    EXPECT_EQ(ui.shown().size(), 1);

    // A password in the locator is refused with the reason; the settings never see it.
    v.store = QStringLiteral("host=db.firm.example dbname=projects password=hunter2");
    out = savePreferences(v, v.dataLocation);
    EXPECT_EQ(out.refusal, SaveRefusal::StoreNotSavable);
    EXPECT_TRUE(ui.last().text.contains(QLatin1String("~/.pgpass")));
    EXPECT_TRUE(ReadSetting(QStringLiteral("STORE")).isEmpty());

    v.store = QStringLiteral("host=db.firm.example dbname=projects sslmode=verify-full");
    out = savePreferences(v, v.dataLocation);
    ASSERT_TRUE(out.saved);
    EXPECT_TRUE(out.storeChanged);
    EXPECT_EQ(ReadSetting(QStringLiteral("STORE")), v.store);
    EXPECT_EQ(base::ChosenStore().text(), v.store);
    const PreferenceValues again = loadPreferences(env.home(), false);
    EXPECT_TRUE(again.firmStore);
    EXPECT_EQ(again.store, v.store);

    out = savePreferences(again, again.dataLocation);
    EXPECT_FALSE(out.storeChanged);

    // Back to this computer: STORE is emptied, whatever text the values still carry.
    PreferenceValues local = again;
    local.firmStore = false;
    out = savePreferences(local, local.dataLocation);
    EXPECT_TRUE(out.storeChanged);
    EXPECT_TRUE(ReadSetting(QStringLiteral("STORE")).isEmpty());
    EXPECT_TRUE(base::ChosenStoreIsThisComputer());
}

// The file's identity: a compaction writes a new file and renames it over the old one.
ino_t inode(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_ino;
}

template <typename T> T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

TEST(StoreChoice, TheDialogShowsTheStoreTestsItAndSavesWhatWasTyped) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    const QString refused = refusedStore();
    WriteSetting(QStringLiteral("STORE"), refused);
    PrefsHost host;
    host.programFolder = env.home();
    frmPrefs prefs(host);
    EXPECT_TRUE(child<QRadioButton>(prefs, "optStoreFirm")->isChecked());
    EXPECT_EQ(child<QLineEdit>(prefs, "txtStoreHost")->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(child<QLineEdit>(prefs, "txtStoreDatabase")->text(), QStringLiteral("projects"));

    // Untouched, the store is saved exactly as it was.
    EXPECT_EQ(prefs.values().store, refused);

    child<QPushButton>(prefs, "cmdStoreTest")->click();
    const QString said = child<QLabel>(prefs, "lblStoreTest")->text();
    EXPECT_TRUE(said.startsWith(QLatin1String("The server refused the connection")))
        << said.toStdString();

    // A host away from here: encryption with the certificate checked is suggested.
    auto* hostBox = child<QLineEdit>(prefs, "txtStoreHost");
    hostBox->selectAll();
    hostBox->del();
    typeText(hostBox, QStringLiteral("db.firm.example"));
    EXPECT_EQ(child<QComboBox>(prefs, "cboStoreSsl")->currentData().toString(),
              QStringLiteral("verify-full"));
    EXPECT_TRUE(child<QLabel>(prefs, "lblStoreTest")->text().isEmpty());
    const QString typed = prefs.values().store;
    EXPECT_TRUE(typed.contains(QLatin1String("host=db.firm.example"))) << typed.toStdString();
    EXPECT_TRUE(typed.contains(QLatin1String("sslmode=verify-full")));
    EXPECT_TRUE(typed.contains(QLatin1String("dbname=projects")));

    child<QPushButton>(prefs, "Command1")->click();
    EXPECT_TRUE(prefs.saved());
    EXPECT_TRUE(prefs.storeChanged());
    EXPECT_EQ(ReadSetting(QStringLiteral("STORE")), typed);

    // Choosing this computer greys the server's boxes out and saves no store.
    frmPrefs second(host);
    child<QRadioButton>(second, "optStoreLocal")->click();
    EXPECT_FALSE(child<QLineEdit>(second, "txtStoreHost")->isEnabled());
    child<QPushButton>(second, "Command1")->click();
    EXPECT_TRUE(second.storeChanged());
    EXPECT_TRUE(ReadSetting(QStringLiteral("STORE")).isEmpty());
}

TEST(StoreChoice, AnUnreachableServerAtStartUpIsSaidAndNeverReplacedByThisComputersFile) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    WriteSetting(QStringLiteral("STORE"), refusedStore());
    int preferencesOpened = 0;
    ui.answerMessage(ui::Answer::Retry);
    ui.answerMessage(ui::Answer::Cancel);
    EXPECT_FALSE(InitializeApplication([&] { ++preferencesOpened; }));
    EXPECT_TRUE(StartupAbandoned());
    EXPECT_EQ(preferencesOpened, 0);
    ASSERT_EQ(ui.shown().size(), 2) << "asked once, and once more after Retry";
    EXPECT_EQ(ui.last().buttons, ui::Buttons::RetryCancel);
    EXPECT_EQ(ui.last().action, QStringLiteral("&Preferences..."));
    EXPECT_TRUE(ui.last().text.contains(QLatin1String("The server refused the connection")))
        << ui.last().text.toStdString();
    ASSERT_NE(modResources::DbConnection, nullptr);
    EXPECT_FALSE(modResources::DbConnection->isOpen());

    // Preferences from the message: there the user goes back to this computer, and the
    // start-up goes on with its file.
    ui.clear();
    ui.answerMessage(ui::Answer::Action);
    EXPECT_TRUE(InitializeApplication([&] {
        ++preferencesOpened;
        WriteSetting(QStringLiteral("STORE"), QString());
    }));
    EXPECT_FALSE(StartupAbandoned());
    EXPECT_EQ(preferencesOpened, 1);
    EXPECT_EQ(ui.shown().size(), 1);
    ASSERT_TRUE(modResources::DbConnection->isOpen());
    EXPECT_EQ(modResources::DbConnection->dialect(), db::Dialect::Sqlite);
}

TEST(StoreChoice, AnEmptyFirmDatabaseGetsTheTablesAtStartUpAndItsSizeComesFromTheServer) {
    QString why;
    pgtest::ScratchSchema schema;
    if (!schema.create(&why))
        GTEST_SKIP() << why.toStdString();
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    WriteSetting(QStringLiteral("STORE"), schema.locator());
    ASSERT_TRUE(InitializeApplication());
    EXPECT_TRUE(ui.shown().isEmpty());
    ASSERT_TRUE(modResources::DbConnection->isOpen());
    EXPECT_EQ(modResources::DbConnection->dialect(), db::Dialect::PostgreSql);
    modResources::DbConnection->execute(ShellTestEnv::insertProject(
        41, QStringLiteral("FIRM LIBRARY"), QStringLiteral("05/06/2027"), true, true));
    // Seen from another session: the row is in the firm's database.
    db::pg::Session other;
    other.open(schema.locator());
    const auto r = other.run("SELECT count(*) FROM projects");
    EXPECT_EQ(r.text(0, 0), "1");

    const Statistics stats = readStatistics(modResources::DbConnection.get(), env.work());
    EXPECT_EQ(stats.total, QStringLiteral("1"));
    harlix::miscStuff misc;
    EXPECT_EQ(stats.databaseSize, QString::fromStdString(misc.FormatSize(
                                      db::storeSizeBytes(*modResources::DbConnection))));
    // Not the size of the file this computer would use.
    EXPECT_GT(db::storeSizeBytes(*modResources::DbConnection),
              QFileInfo(env.work() + QStringLiteral("/Desktop.mdb")).size());
}

TEST(StoreChoice, TheShutdownCompactsOnlyThisComputersFile) {
    SQLITE_FILE_ONLY("this computer's file is compacted");
    QString why;
    pgtest::ScratchSchema schema;
    if (!schema.create(&why))
        GTEST_SKIP() << why.toStdString();
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    const QString file = env.createDatabase();

    // On the firm's store the server keeps its database: this computer's file is left alone.
    WriteSetting(QStringLiteral("STORE"), schema.locator());
    ASSERT_TRUE(InitializeApplication());
    const ino_t before = inode(file);
    CloseDatabase();
    CompactDesktopDatabase();
    EXPECT_EQ(inode(file), before);

    // On this computer the file is compacted (a new file takes its place).
    WriteSetting(QStringLiteral("STORE"), QString());
    ASSERT_TRUE(InitializeApplication());
    CloseDatabase();
    CompactDesktopDatabase();
    EXPECT_NE(inode(file), before);
    EXPECT_TRUE(ui.shown().isEmpty());
}

} // namespace
} // namespace brevant::shell::test
