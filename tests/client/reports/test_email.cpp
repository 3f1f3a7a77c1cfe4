// E-mailing documents through the main window, headless, to a real aiosmtpd on 127.0.0.1; the
// stored messages are read back with Python's email package and compared byte for byte.
#include "../../mailcontrol/net/support/ScriptedServer.h"
#include "../../mailcontrol/smtp/SmtpSink.h"
#include "OutputTestSupport.h"
#include "shell/ShellTestEnv.h"

#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/MailDocuments.h"
#include "reports/frmSelectFiles.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace brevant;
using brevant::shell::test::ShellTestEnv;

namespace {

QByteArray awkwardBytes(int size, int seed) {
    // Line ends, dots at line starts, NULs and every byte value, as real page images have.
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b.append(char((i * 131 + seed) % 256));
    b.append("\r\n.\r\n..\n\0end", 13);
    return b;
}

class EmailTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sink_.up()) << "aiosmtpd (python3-aiosmtpd) did not start";
        const QString file = env_.createDatabase();
        const QString folder = env_.path("cache/101/");
        ShellTestEnv::execute(
            file,
            {ShellTestEnv::insertProject(101, "ALPHA BRIDGE", "04/15/2027", true, false),
             "INSERT INTO Attachments (JobID, FileName, Path, Description, Type, Added) VALUES "
             "(101, 'quote.doc', '" +
                 folder + "', 'Quote', 'DOC', '1/2/2027')"});
        write("cache/101/plans/PLAN.SVD", awkwardBytes(3000, 1));
        write("cache/101/plans/PLAN001", awkwardBytes(5000, 2));
        write("cache/101/plans/PLAN002", awkwardBytes(10, 3));
        write("cache/101/SPECS/0100.SVD", awkwardBytes(4000, 4));
        write("cache/101/SPECS/0100-01.tif", awkwardBytes(7000, 5));
        write("cache/101/SPECS/0100-02.TIF", awkwardBytes(100, 6));
        write("cache/101/SPECS/0200.SVD", awkwardBytes(10, 7));
        write("cache/101/quote.doc", awkwardBytes(2500, 8));
        WriteSetting("SMTPSVR", "127.0.0.1");
        WriteSetting("SMTPPORT", QString::number(sink_.port()));
        WriteSetting("SMTPFROM", "estimator@example.com");

        w_ = std::make_unique<shell::frmMain>();
        w_->Form_Load();
        modResources::CacheLocation = env_.path("cache");
        w_->findChild<QTreeWidget*>("ListView1")->setCurrentItem(w_->FindProjectRow(101));
        // The document lists as the catalogue shows them: tag, small icon 2 when cached.
        plans_ = w_->findChild<QTreeWidget*>("ListView2");
        specs_ = w_->findChild<QTreeWidget*>("ListView3");
        addenda_ = w_->findChild<QTreeWidget*>("ListView4");
        attachments_ = w_->findChild<QTreeWidget*>("ListView5");
        ASSERT_EQ(attachments_->topLevelItemCount(), 1);
    }
    void TearDown() override { EXPECT_TRUE(driver_.idle()) << "a window was not shown"; }

    void write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(outputtest::writeFile(env_.path(name), bytes)) << name.toStdString();
    }
    static QTreeWidgetItem* row(QTreeWidget* list, const QString& tag, int icon, bool checked) {
        auto* item = new QTreeWidgetItem(list, {tag});
        item->setData(0, Qt::UserRole, tag);
        item->setData(0, Qt::UserRole + 1, icon);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        return item;
    }
    static QStringList listed(QWidget* form) {
        QStringList out;
        auto* list = form->findChild<QListWidget*>("List1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static void send(QWidget* form, const QString& to) {
        form->findChild<QLineEdit*>("Text1")->setText(to);
        form->findChild<QPushButton*>("Command1")->click();
    }
    void openEmail(std::function<void(QWidget*)> action) {
        driver_.whenShown("frmSelectFiles", [action](QWidget* w) {
            action(w);
            w->findChild<QPushButton*>("Command4")->click();
        });
        w_->findChild<QAction*>("mnuFileEmail")->trigger();
    }

    mailvane::testing::SmtpSink sink_;
    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    outputtest::DialogDriver driver_;
    std::unique_ptr<shell::frmMain> w_;
    QTreeWidget* plans_ = nullptr;
    QTreeWidget* specs_ = nullptr;
    QTreeWidget* addenda_ = nullptr;
    QTreeWidget* attachments_ = nullptr;
};

} // namespace

TEST_F(EmailTest, PlanSheetSectionPagesAndAttachmentArriveByteExact) {
    row(plans_, "PLAN001", 2, true);
    row(plans_, "PLAN002", 2, false);
    row(specs_, "0100", 2, true);
    row(specs_, "0200", 2, false);
    attachments_->topLevelItem(0)->setCheckState(0, Qt::Checked);
    const QString cache = env_.path("cache/101/");
    const QStringList expected = {cache + "plans/PLAN.SVD",    cache + "plans/PLAN001",
                                  cache + "SPECS/0100-01.tif", cache + "SPECS/0100-02.TIF",
                                  cache + "SPECS/0100.SVD",    cache + "quote.doc"};
    qint64 total = 0;
    for (const QString& f : expected)
        total += QFileInfo(f).size();
    int reached = -1;
    int maximum = -1;
    openEmail([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "E-Mail");
        EXPECT_EQ(listed(w), expected);
        EXPECT_EQ(w->findChild<QLineEdit*>("Text2")->text(), "estimator@example.com");
        EXPECT_EQ(w->findChild<QLineEdit*>("Text3")->text(), w_->FindProjectRow(101)->text(1));
        w->findChild<QLineEdit*>("Text3")->setText("Plans for ALPHA BRIDGE");
        w->findChild<QPlainTextEdit*>("Text4")->setPlainText("The pages.\nCall me.");
        auto* bar = w->findChild<QProgressBar*>("ProgressBar1");
        QObject::connect(bar, &QProgressBar::valueChanged, [&, bar](int v) {
            if (bar->maximum() > 6 && v > reached) {
                reached = v;
                maximum = bar->maximum();
            }
        });
        send(w, "site@example.com");
        EXPECT_FALSE(bar->isVisible());
    });
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "Email sent to server ...");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Information);
    EXPECT_EQ(maximum, total + 72);
    EXPECT_EQ(reached, maximum) << "the bar reaches the total";

    EXPECT_EQ(sink_.envelope(),
              (std::vector<std::string>{"estimator@example.com", "site@example.com"}));
    const std::vector<std::string> report = sink_.parse();
    ASSERT_FALSE(report.empty());
    EXPECT_NE(std::find(report.begin(), report.end(), "Subject: Plans for ALPHA BRIDGE"),
              report.end());
    std::map<std::string, int> parts;
    int index = 0;
    for (const std::string& line : report) {
        if (line.rfind("part ", 0) != 0)
            continue;
        ++index;
        parts[line.substr(line.rfind(' ') + 1)] = index;
    }
    ASSERT_EQ(parts.size(), 7u) << "the text and six files";
    std::string body = sink_.partBytes(parts["-"]);
    std::erase(body, '\r');
    EXPECT_EQ(body.find("The pages.\nCall me."), 0u) << body;
    for (const QString& f : expected) {
        const std::string name = QFileInfo(f).fileName().toStdString();
        ASSERT_TRUE(parts.count(name)) << name;
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(sink_.partBytes(parts[name]), file.readAll().toStdString()) << name;
    }
}

TEST_F(EmailTest, AccountAndSecurityOfPreferencesReachTheControl) {
    mailvane::testing::TestCertificate certificate;
    ASSERT_TRUE(certificate.made());
    const auto trust = mailvane::testing::trustOnly(certificate);
    mailvane::testing::SmtpSink secure("estimator", "mail pw", "starttls", certificate);
    ASSERT_TRUE(secure.up());
    WriteSetting("SMTPPORT", QString::number(secure.port()));
    WriteSetting("SMTPUSER", "estimator");
    WriteSetting("SMTPPASS", "mail pw");
    WriteSetting("SMTPSECURITY", "1");
    attachments_->topLevelItem(0)->setCheckState(0, Qt::Checked);
    openEmail([&](QWidget* w) { send(w, "site@example.com"); });
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "Email sent to server ...");
    EXPECT_EQ(secure.envelope(),
              (std::vector<std::string>{"estimator@example.com", "site@example.com"}));
    const std::string log = secure.log();
    const std::size_t startTls = log.find(">> b'STARTTLS'");
    const std::size_t auth = log.find(">> b'AUTH PLAIN");
    ASSERT_NE(startTls, std::string::npos) << log;
    ASSERT_NE(auth, std::string::npos) << log;
    EXPECT_LT(startTls, auth) << "the login travels only under TLS";
}

TEST_F(EmailTest, UncachedRowsAreNotCollectedAndTheFormIsNotOpened) {
    row(plans_, "PLAN001", 1, true);
    row(addenda_, "ADD01", 1, true);
    bool opened = false;
    driver_.whenShown("frmSelectFiles", [&](QWidget* w) {
        opened = true;
        w->close();
    });
    w_->findChild<QAction*>("Toolbar1_Button12")->trigger();
    EXPECT_FALSE(opened);
    ASSERT_EQ(ui_.shown().size(), 1);
    EXPECT_EQ(ui_.last().text, "No files were selected for processing - Please select "
                               "DOWNLOADED file(s) and try again ...");
    EXPECT_EQ(ui_.last().icon, ui::Icon::Information);
    EXPECT_EQ(ui_.last().title, "System Message");
    driver_.clear();
}

TEST_F(EmailTest, VanishedAttachmentDuplicatesDeleteAndClearAll) {
    row(plans_, "PLAN002", 2, true);
    attachments_->topLevelItem(0)->setCheckState(0, Qt::Checked);
    QFile::remove(env_.path("cache/101/quote.doc"));
    const QString tif = env_.path("cache/101/SPECS/0100-01.tif");
    ui_.answerPath(tif);
    ui_.answerPath(tif);
    ui_.answerPath(QString()); // cancelled
    openEmail([&](QWidget* w) {
        const QString cache = env_.path("cache/101/");
        EXPECT_EQ(listed(w), QStringList({cache + "plans/PLAN.SVD", cache + "plans/PLAN002"}));
        for (int i = 0; i < 3; ++i)
            w->findChild<QPushButton*>("Command2")->click();
        EXPECT_EQ(listed(w).count(tif), 1);
        EXPECT_EQ(listed(w).size(), 3);
        auto* list = w->findChild<QListWidget*>("List1");
        list->setCurrentRow(0);
        shell::test::typeKey(list, Qt::Key_Delete);
        EXPECT_EQ(listed(w), QStringList({cache + "plans/PLAN002", tif}));
        w->findChild<QPushButton*>("Command3")->click();
        EXPECT_TRUE(listed(w).isEmpty());
    });
    EXPECT_EQ(ui_.shown().size(), 3);
    EXPECT_EQ(ui_.last().kind, "openFile");
}

TEST_F(EmailTest, MissingFieldsAndEmptyServerStopBeforeAnyPropertyIsSet) {
    row(plans_, "PLAN002", 2, true);
    WriteSetting("SMTPSVR", "");
    openEmail([&](QWidget* w) {
        w->findChild<QLineEdit*>("Text2")->clear();
        send(w, "site@example.com");
        ASSERT_EQ(ui_.shown().size(), 1);
        EXPECT_EQ(ui_.last().text, "You must specify a supply information for all required "
                                   "fields - 'TO' and 'FROM' are required fields ...");
        w->findChild<QLineEdit*>("Text2")->setText("me@example.com");
        send(w, "site@example.com");
        ASSERT_EQ(ui_.shown().size(), 2);
        EXPECT_TRUE(ui_.last().text.startsWith("CRITCAL ERROR "));
        EXPECT_TRUE(ui_.last().text.contains("No SMTP server is set in Preferences"));
        EXPECT_EQ(ui_.last().title, "System Error");
        EXPECT_EQ(ui_.last().icon, ui::Icon::Critical);
        EXPECT_EQ(ui_.last().buttons, ui::Buttons::OkCancel);
        auto& control = static_cast<reports::frmSelectFiles*>(w)->Mailvane1();
        EXPECT_EQ(control.get_MailServer(), "");
        EXPECT_EQ(control.get_SendTo(), "");
        EXPECT_EQ(control.get_AttachmentCount(), 0);
        EXPECT_FALSE(w->findChild<QProgressBar*>("ProgressBar1")->isVisible());
    });
}

TEST_F(EmailTest, ARefusedRecipientIsReportedAndTheWindowStaysUsable) {
    row(specs_, "0200", 2, true);
    openEmail([&](QWidget* w) {
        send(w, "refused@example.com");
        ASSERT_EQ(ui_.shown().size(), 1);
        const QString text = ui_.last().text;
        EXPECT_TRUE(text == "Problem sending Email to server ..." ||
                    text.startsWith("Error processing request - "))
            << text.toStdString();
        EXPECT_TRUE(text.contains("550") || !text.startsWith("Error")) << text.toStdString();
        send(w, "site@example.com");
        EXPECT_EQ(ui_.last().text, "Email sent to server ...");
    });
    EXPECT_EQ(sink_.envelope(1),
              (std::vector<std::string>{"estimator@example.com", "site@example.com"}));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(sink_.message(2).string())));
}

// A server that accepts the connection and never answers: the window's send gives up after the
// SMTPTIMEOUT setting (60 s by default) instead of waiting until the user closes it.
TEST_F(EmailTest, ASilentServerEndsTheSendAfterTheTimeOut) {
    mailvane::testing::ScriptedServer silent([](mailvane::testing::Peer& peer) {
        peer.waitClosed(); // says nothing; gives up after 20 s
    });
    WriteSetting("SMTPPORT", QString::number(silent.port()));
    WriteSetting("SMTPTIMEOUT", "1");
    row(specs_, "0200", 2, true);
    openEmail([&](QWidget* w) {
        send(w, "site@example.com");
        ASSERT_EQ(ui_.shown().size(), 1);
        EXPECT_EQ(ui_.last().text, "Error processing request - 20302 Timeout.");
        EXPECT_EQ(static_cast<reports::frmSelectFiles*>(w)->Mailvane1().get_Timeout(), 1);
    });
    WriteSetting("SMTPTIMEOUT", "");
    WriteSetting("SMTPPORT", QString::number(sink_.port()));
    openEmail([&](QWidget* w) {
        send(w, "site@example.com");
        EXPECT_EQ(ui_.last().text, "Email sent to server ...");
        EXPECT_EQ(static_cast<reports::frmSelectFiles*>(w)->Mailvane1().get_Timeout(), 60);
    });
}

// With an account name and the security left at its old default ("0"), the login is not sent
// to a server that offers no STARTTLS.
TEST_F(EmailTest, ALoginIsNotSentInClearUnlessPlainTextWasChosen) {
    mailvane::testing::SmtpSink plain("estimator", "mail pw");
    ASSERT_TRUE(plain.up());
    WriteSetting("SMTPPORT", QString::number(plain.port()));
    WriteSetting("SMTPUSER", "estimator");
    WriteSetting("SMTPPASS", "mail pw");
    WriteSetting("SMTPSECURITY", "0");
    row(specs_, "0200", 2, true);
    openEmail([&](QWidget* w) {
        send(w, "site@example.com");
        ASSERT_EQ(ui_.shown().size(), 1);
        EXPECT_TRUE(ui_.last().text.contains("does not offer STARTTLS"))
            << ui_.last().text.toStdString();
        EXPECT_EQ(plain.log().find(">> b'AUTH"), std::string::npos) << plain.log();
        // Chosen knowingly (after the warning in Preferences), plain text is used.
        WriteSetting("SMTPPLAINLOGIN", "1");
        send(w, "site@example.com");
        EXPECT_EQ(ui_.last().text, "Email sent to server ...");
    });
    EXPECT_NE(plain.log().find(">> b'AUTH LOGIN'"), std::string::npos) << plain.log();
}
