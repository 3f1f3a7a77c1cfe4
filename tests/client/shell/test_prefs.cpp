// The Preferences settings and dialog: every key saved, the refusals, the proxy box taking
// effect at once, the database-folder change, the statistics.
#include "base/Settings.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/ui/ScriptedUi.h"
#include "shell/Preferences.h"
#include "shell/frmPrefs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <harlix/RegSettings.h>

using namespace brevant;
using namespace brevant::shell;

namespace {

class PrefsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("BREVANT_REGISTRY", dir.filePath("registry").toUtf8());
        program = dir.filePath("program");
    }
    void TearDown() override { qunsetenv("BREVANT_REGISTRY"); }

    // The raw stored value (empty when missing), without defaults.
    static QString stored(const char* key) { return ReadSetting(QString::fromLatin1(key)); }
    bool isStored(const char* key) const {
        QFile f(dir.filePath("registry"));
        if (!f.open(QIODevice::ReadOnly)) {
            return false;
        }
        return QString::fromUtf8(f.readAll())
            .contains(QString::fromLatin1(key), Qt::CaseInsensitive);
    }

    PreferenceValues sample() const {
        PreferenceValues v;
        v.cacheLocation = "/cache/root";
        v.dataLocation = "/data/Work";
        v.proxy = true;
        v.proxyUrl = "http-proxy.local";
        v.proxyPort = "3128";
        v.socksServer = "socks.local";
        v.socksPort = "1081";
        v.socksUser = "sam";
        v.socksPassword = "s3cret 'x'";
        v.smtpServer = "mail.local";
        v.smtpUser = "estimator";
        v.smtpPassword = "pw";
        v.smtpFrom = "est@example.com";
        v.smtpPort = "2525";
        v.showReminder = false;
        v.reminderDays = "7";
        v.serverAddress = "10.0.0.5";
        v.serverPort = "5555";
        v.serverTimeout = "30";
        v.supportEmail = "help@service.example";
        return v;
    }

    QTemporaryDir dir;
    QString program;
    ui::ScopedScriptedUi ui;
};

TEST_F(PrefsTest, DefaultsOfEveryDialogValue) {
    const PreferenceValues v = loadPreferences(program, false);
    EXPECT_EQ(v.cacheLocation, program);
    EXPECT_EQ(v.dataLocation, program + "/Work");
    EXPECT_FALSE(v.proxy);
    EXPECT_EQ(v.proxyUrl, "");
    EXPECT_EQ(v.proxyPort, "80");
    EXPECT_EQ(v.socksPort, "1080");
    EXPECT_EQ(v.smtpPort, "25");
    EXPECT_TRUE(v.showReminder);
    EXPECT_EQ(v.reminderDays, "2");
    EXPECT_EQ(v.serverAddress, "127.0.0.1");
    EXPECT_EQ(v.serverPort, "555");
    EXPECT_EQ(v.serverTimeout, "120");
    EXPECT_EQ(settingDefault("LASTUPDATE", program), "01/01/1970");
    EXPECT_EQ(settingDefault("attachlist", program), "3");
    EXPECT_EQ(settingDefault("FIRSTDOWN", program), "0");
    // The proxy box follows the running program, not the stored PROXY.
    WriteSetting("PROXY", "0");
    EXPECT_TRUE(loadPreferences(program, true).proxy);
}

TEST_F(PrefsTest, SaveWritesEveryKeyAndReadsBack) {
    const PreferenceValues v = sample();
    const SaveOutcome out = savePreferences(v, "/data/Work");
    ASSERT_TRUE(out.saved);
    EXPECT_TRUE(ui.shown().isEmpty());
    EXPECT_FALSE(out.databaseFolderChanged);
    EXPECT_EQ(out.httpProxy.server, "http-proxy.local");
    EXPECT_EQ(out.httpProxy.port, 3128);

    EXPECT_EQ(stored("CACHELOC"), "/cache/root");
    EXPECT_EQ(stored("DATALOC"), "/data/Work");
    EXPECT_EQ(stored("PROXY"), "1");
    EXPECT_EQ(stored("PROXYURL"), "http-proxy.local");
    EXPECT_EQ(stored("PROXYPORT"), "3128");
    EXPECT_EQ(stored("PROXYSOCKS"), "socks.local");
    EXPECT_EQ(stored("PROXYSOCKSPORT"), "1081");
    EXPECT_EQ(stored("PROXYSOCKSUSER"), "sam");
    EXPECT_EQ(stored("PROXYSOCKSPASS"), "s3cret 'x'");
    EXPECT_EQ(stored("SMTPSVR"), "mail.local"); // written as SMTPSvr
    EXPECT_EQ(stored("SMTPUser"), "estimator");
    EXPECT_EQ(stored("SMTPPass"), "pw");
    EXPECT_EQ(stored("SMTPFROM"), "est@example.com");
    EXPECT_EQ(stored("SMTPPORT"), "2525");
    EXPECT_EQ(stored("MESSAGE"), "0");
    EXPECT_EQ(stored("MESSAGEDAYS"), "7");
    EXPECT_EQ(stored("SERVERADDR"), "10.0.0.5");
    EXPECT_EQ(stored("SERVERPORT"), "5555");
    EXPECT_EQ(stored("SERVERTIMEOUT"), "30");
    EXPECT_EQ(stored("SUPPORTEMAIL"), "help@service.example");

    // Loading gives back what was saved.
    const PreferenceValues back = loadPreferences(program, true);
    EXPECT_EQ(back.socksPassword, v.socksPassword);
    EXPECT_EQ(back.smtpServer, v.smtpServer);
    EXPECT_EQ(back.supportEmail, v.supportEmail);
    EXPECT_FALSE(back.showReminder);

    // Saving again with emptied boxes stores them; empty reads back as the default.
    PreferenceValues cleared = v;
    cleared.proxy = false;
    cleared.proxyPort.clear();
    cleared.smtpServer.clear();
    ASSERT_TRUE(savePreferences(cleared, "/data/Work").saved);
    EXPECT_EQ(stored("PROXY"), "0");
    EXPECT_EQ(stored("SMTPSvr"), "");
    EXPECT_EQ(loadPreferences(program, false).proxyPort, "80");
    EXPECT_EQ(httpProxyFor(cleared).server, "");
    EXPECT_EQ(httpProxyFor(cleared).port, 80);
}

TEST_F(PrefsTest, SmtpSecurityIsSavedAndTheLoginStaysInThePrivateSettingsFile) {
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 0) << "plain by default";
    PreferenceValues v = sample();
    v.smtpSecurity = 1;
    v.smtpPassword = "mail pw";
    ASSERT_TRUE(savePreferences(v, "/data/Work").saved);
    EXPECT_EQ(stored("SMTPSECURITY"), "1");
    const PreferenceValues back = loadPreferences(program, false);
    EXPECT_EQ(back.smtpSecurity, 1);
    EXPECT_EQ(back.smtpUser, "estimator");
    EXPECT_EQ(back.smtpPassword, "mail pw");
    // The password is kept only in the settings file, which no one else may read.
    QFile file(dir.filePath("registry"));
    EXPECT_EQ(file.permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    // A value the control does not know reads as plain text, which with a login set means
    // "STARTTLS, required".
    WriteSetting("SMTPSecurity", "9");
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 1);
    WriteSetting("SMTPUser", "");
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 0);
}

// A login is never sent in clear by default: a stored "0" (what every save wrote before there
// was a choice) with an account name reads as "STARTTLS, required"; "None" stays only when it
// was chosen knowingly; without a login the stored choice is kept as it is.
TEST_F(PrefsTest, ALoginDefaultsToStartTlsRequiredUnlessPlainTextWasChosen) {
    WriteSetting("SMTPUser", "estimator");
    WriteSetting("SMTPSecurity", "0");
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 1);
    EXPECT_EQ(loadPreferences(program, false).smtpPlainLoginChosen, false);
    WriteSetting("SMTPSecurity", "2");
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 2);

    PreferenceValues v = sample();
    v.smtpSecurity = 0;
    v.smtpPlainLoginChosen = true;
    ASSERT_TRUE(savePreferences(v, "/data/Work").saved);
    EXPECT_EQ(stored("SMTPPlainLogin"), "1");
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 0);

    v.smtpUser.clear();
    v.smtpPlainLoginChosen = false;
    ASSERT_TRUE(savePreferences(v, "/data/Work").saved);
    EXPECT_EQ(stored("SMTPPlainLogin"), "0");
    EXPECT_EQ(loadPreferences(program, false).smtpSecurity, 0) << "no login: nothing to protect";
}

TEST_F(PrefsTest, ProxyWithoutSocksServerIsRefusedAndNothingWritten) {
    PreferenceValues v = sample();
    v.socksServer.clear();
    v.proxyUrl = "only-http.local"; // an HTTP proxy alone is not enough
    const SaveOutcome out = savePreferences(v, "/data/Work");
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(out.refusal, SaveRefusal::NoSocksServer);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "To use a proxy you must specify a SOCKS 5 server ...");
    EXPECT_EQ(ui.last().title, "System Message");
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
    EXPECT_FALSE(isStored("CACHELOC"));
    EXPECT_FALSE(isStored("PROXYURL"));

    // The proxy off needs no SOCKS server.
    v.proxy = false;
    EXPECT_TRUE(savePreferences(v, "/data/Work").saved);
}

TEST_F(PrefsTest, IntervalMustBeAWholeNumber) {
    EXPECT_TRUE(isValidInterval("2"));
    EXPECT_TRUE(isValidInterval(" 14 "));
    EXPECT_FALSE(isValidInterval(""));
    EXPECT_FALSE(isValidInterval("two"));
    EXPECT_FALSE(isValidInterval("-1"));
    PreferenceValues v = sample();
    v.reminderDays = "soon";
    const SaveOutcome out = savePreferences(v, "/data/Work");
    EXPECT_EQ(out.refusal, SaveRefusal::BadInterval);
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "Interval Days must be numeric ...");
    EXPECT_EQ(ui.last().title, "System Message");
    EXPECT_FALSE(isStored("MESSAGEDAYS"));
}

TEST_F(PrefsTest, DatabaseFolderChangeIgnoresCaseOnly) {
    EXPECT_FALSE(databaseFolderChanged("/home/est/Work", "/HOME/est/work"));
    EXPECT_FALSE(databaseFolderChanged("/home/est/Work", "/home/est/Work/"));
    EXPECT_TRUE(databaseFolderChanged("/home/est/Work", "/home/est/Work2"));
    EXPECT_TRUE(databaseFolderChanged("/home/est/Work", ""));
    PreferenceValues v = sample();
    EXPECT_FALSE(savePreferences(v, "/DATA/work").databaseFolderChanged);
    EXPECT_TRUE(savePreferences(v, "/data/Old").databaseFolderChanged);
}

TEST_F(PrefsTest, HttpProxyPortThatIsNotANumberFallsBackTo80) {
    PreferenceValues v = sample();
    v.proxyPort = "eighty";
    EXPECT_EQ(httpProxyFor(v).port, 80);
    EXPECT_EQ(httpProxyFor(v).server, "http-proxy.local");
}

// ---- the dialog ----------------------------------------------------------------------------

class PrefsDialogTest : public PrefsTest {
protected:
    void SetUp() override {
        PrefsTest::SetUp();
        data = dir.filePath("data");
        QDir().mkpath(data);
        db::createDesktopDatabase(data + "/Desktop.mdb");
        conn.open(data + "/Desktop.mdb");
        conn.execute("INSERT INTO Projects (Job_ID, Name) VALUES (1, 'a')");
        conn.execute("INSERT INTO Projects (Job_ID, Name) VALUES (2, 'b')");
        conn.execute("INSERT INTO Projects (Job_ID, Name) VALUES (3, 'c')");
        conn.execute("Update [Projects] set [Tracked] = TRUE, [NEW] = FALSE where [JOB_ID] = 2");
        conn.execute("Update [Projects] set [Tracked] = FALSE, [NEW] = FALSE where [JOB_ID] = 3");
        WriteSetting("DATALOC", data);
    }

    PrefsHost host(bool proxyOn = false) {
        PrefsHost h;
        h.programFolder = program;
        h.proxyOn = proxyOn;
        h.dataLocation = data;
        h.connection = &conn;
        h.setProxyOn = [this](bool on) { proxyCalls.push_back(on); };
        h.setLocations = [this](const QString& c, const QString& d) { locations = {c, d}; };
        h.applyHttpProxy = [this](const QString& s, int p) { proxy = {s, QString::number(p)}; };
        return h;
    }

    template <typename T> static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QString data;
    db::Connection conn;
    std::vector<bool> proxyCalls;
    QStringList locations;
    QStringList proxy;
};

TEST_F(PrefsDialogTest, OpensWithSettingsStatisticsAndNamedControls) {
    WriteSetting("SMTPSvr", "mail.local");
    WriteSetting("PROXYSOCKSPORT", "1090");
    frmPrefs dlg(host(false));
    EXPECT_EQ(dlg.objectName(), "frmPrefs");
    EXPECT_EQ(dlg.windowTitle(), "Preferences");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text1")->text(), program);
    EXPECT_EQ(child<QLineEdit>(dlg, "Text14")->text(), data);
    EXPECT_EQ(child<QLineEdit>(dlg, "Text13")->text(), "mail.local");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text15")->text(), "1090");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text10")->text(), "25");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text19")->text(), "2");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text11")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QComboBox>(dlg, "cboSecurity")->currentIndex(), 0);
    EXPECT_EQ(child<QComboBox>(dlg, "cboSecurity")->count(), 4);
    EXPECT_EQ(child<QLineEdit>(dlg, "Text17")->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(child<QCheckBox>(dlg, "Check1")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dlg, "Check2")->isChecked());
    EXPECT_FALSE(child<QGroupBox>(dlg, "Frame3")->isEnabled());
    EXPECT_EQ(child<QPushButton>(dlg, "Command1")->text(), "&SAVE / EXIT");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtServerAddr")->text(), "127.0.0.1");
    EXPECT_EQ(child<QLineEdit>(dlg, "txtServerPort")->text(), "555");
    // Statistics: 1 tracked, 1 new, 1 viewed, 3 in all, and the size of the file.
    EXPECT_EQ(child<QLineEdit>(dlg, "Text2")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text3")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text4")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text5")->text(), "3");
    EXPECT_FALSE(child<QLineEdit>(dlg, "Text6")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(dlg, "Text6")->isReadOnly());
}

TEST_F(PrefsDialogTest, ProxyBoxTakesEffectAtOnceButClosingSavesNothing) {
    {
        frmPrefs dlg(host(false));
        child<QCheckBox>(dlg, "Check2")->click();
        EXPECT_TRUE(child<QGroupBox>(dlg, "Frame3")->isEnabled());
        EXPECT_EQ(proxyCalls, std::vector<bool>{true});
        dlg.reject(); // the window's close button
        EXPECT_FALSE(dlg.saved());
    }
    EXPECT_FALSE(isStored("PROXY"));
    EXPECT_TRUE(locations.isEmpty());
}

TEST_F(PrefsDialogTest, SaveRefusedWithoutSocksServerKeepsDialogOpen) {
    frmPrefs dlg(host(true));
    dlg.show();
    child<QLineEdit>(dlg, "Text7")->setText("http-proxy.local");
    child<QPushButton>(dlg, "Command1")->click();
    ASSERT_FALSE(ui.shown().isEmpty());
    EXPECT_EQ(ui.last().text, "To use a proxy you must specify a SOCKS 5 server ...");
    EXPECT_FALSE(dlg.saved());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(isStored("PROXYURL"));
    EXPECT_TRUE(locations.isEmpty());
}

TEST_F(PrefsDialogTest, SaveAppliesLocationsAndProxyAndReportsAChangedFolder) {
    frmPrefs dlg(host(true));
    ui.answerPath(dir.filePath("newcache"));
    child<QPushButton>(dlg, "Command2")->click();
    EXPECT_EQ(ui.last().kind, "pickFolder");
    EXPECT_EQ(ui.last().title, "Choose Cache Location");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text1")->text(), dir.filePath("newcache"));
    ui.answerPath(""); // cancelled: the box keeps its text
    child<QPushButton>(dlg, "Command3")->click();
    EXPECT_EQ(ui.last().title, "Choose Database Location");
    EXPECT_EQ(child<QLineEdit>(dlg, "Text14")->text(), data);

    child<QLineEdit>(dlg, "Text16")->setText("socks.local");
    child<QLineEdit>(dlg, "Text7")->setText("http-proxy.local");
    child<QLineEdit>(dlg, "Text8")->setText("8080");
    child<QLineEdit>(dlg, "Text14")->setText(dir.filePath("other"));
    child<QPushButton>(dlg, "Command1")->click();
    EXPECT_TRUE(dlg.saved());
    EXPECT_TRUE(dlg.databaseFolderChanged());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(locations, (QStringList{dir.filePath("newcache"), dir.filePath("other")}));
    EXPECT_EQ(proxy, (QStringList{"http-proxy.local", "8080"}));
    EXPECT_EQ(stored("DATALOC"), dir.filePath("other"));
    EXPECT_EQ(stored("PROXY"), "1");
}

TEST_F(PrefsDialogTest, ChangingOnlyTheCaseOfTheFolderIsNoChange) {
    frmPrefs dlg(host(false));
    child<QLineEdit>(dlg, "Text14")->setText(data.toUpper());
    child<QPushButton>(dlg, "Command1")->click();
    EXPECT_TRUE(dlg.saved());
    EXPECT_FALSE(dlg.databaseFolderChanged());
    EXPECT_EQ(proxy, (QStringList{"", "80"}));
}

TEST_F(PrefsDialogTest, IntervalCheckedWhenLeavingTheBox) {
    frmPrefs dlg(host(false));
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    auto* days = child<QLineEdit>(dlg, "Text19");
    days->setFocus(Qt::OtherFocusReason);
    days->setText("abc");
    child<QLineEdit>(dlg, "Text13")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "Interval Days must be numeric ...");
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
    EXPECT_TRUE(days->hasFocus());
    EXPECT_EQ(days->selectedText(), "abc");

    // Leaving the box for the save button: one message, nothing saved.
    ui.clear();
    auto* save = child<QPushButton>(dlg, "Command1");
    save->setFocus(Qt::MouseFocusReason);
    save->click();
    QApplication::processEvents();
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "Interval Days must be numeric ...");
    EXPECT_FALSE(dlg.saved());
    EXPECT_FALSE(isStored("MESSAGEDAYS"));
    EXPECT_TRUE(days->hasFocus());
}

} // namespace

TEST_F(PrefsDialogTest, EnteringALoginChoosesStartTlsAndChoosingNoneWarnsOnce) {
    {
        frmPrefs dlg(host(false));
        auto* security = child<QComboBox>(dlg, "cboSecurity");
        ASSERT_EQ(security->currentIndex(), 0);
        child<QLineEdit>(dlg, "Text12")->setText("estimator");
        EXPECT_EQ(security->currentIndex(), 1) << "STARTTLS (required) once a login is entered";
        EXPECT_TRUE(ui.shown().isEmpty());
        // The user picks "None" on purpose: one warning, not one per choice.
        security->setCurrentIndex(0);
        security->activated(0);
        ASSERT_EQ(ui.shown().size(), 1);
        EXPECT_EQ(ui.last().title, "System Message");
        EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
        EXPECT_TRUE(ui.last().text.contains("unencrypted")) << ui.last().text.toStdString();
        security->setCurrentIndex(1);
        security->activated(1);
        security->setCurrentIndex(0);
        security->activated(0);
        EXPECT_EQ(ui.shown().size(), 1);
        child<QPushButton>(dlg, "Command1")->click();
    }
    EXPECT_EQ(stored("SMTPSecurity"), "0");
    EXPECT_EQ(stored("SMTPPlainLogin"), "1");
    frmPrefs again(host(false));
    EXPECT_EQ(child<QComboBox>(again, "cboSecurity")->currentIndex(), 0) << "the choice stays";
    EXPECT_EQ(ui.shown().size(), 1);
}
