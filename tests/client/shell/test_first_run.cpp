// The first run: an empty database shows what to do first (set the service's address, then
// find projects), and a server that cannot be reached offers Preferences at its address.
#include "ShellTestEnv.h"

#include "base/Settings.h"
#include "platform/ui/QtUi.h"
#include "platform/ui/ScriptedUi.h"
#include "server/ServerSession.h"
#include "server/frmFind.h"
#include "shell/FirstStep.h"
#include "shell/frmMain.h"
#include "shell/frmPrefs.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::shell;
using brevant::shell::test::ShellTestEnv;

namespace {

// Acts on each dialog of type T once it is shown (the modal loop is running then) and closes
// it unless the action did.
template <typename T> class DialogWatch : public QObject {
public:
    explicit DialogWatch(std::function<void(T*)> act) : act_(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~DialogWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<T*>(watched)) {
                ++shown;
                QPointer<T> d(dialog);
                QTimer::singleShot(0, dialog, [this, d] {
                    act_(d);
                    if (d && d->isVisible())
                        d->close();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(T*)> act_;
};

QString focusName(QWidget* dialog) {
    QWidget* focus = dialog->focusWidget();
    return focus ? focus->objectName() : QStringLiteral("(none)");
}

} // namespace

TEST(FirstRun, TheStepToTakeFollowsTheDatabaseAndTheServerSetting) {
    EXPECT_EQ(NextFirstStep(0, QString()), FirstStep::SetServer);
    EXPECT_EQ(NextFirstStep(0, QStringLiteral("  ")), FirstStep::SetServer);
    EXPECT_EQ(NextFirstStep(0, QStringLiteral("bids.example.com")), FirstStep::FindProjects);
    EXPECT_EQ(NextFirstStep(3, QString()), FirstStep::None);
}

TEST(FirstRun, EmptyDatabaseShowsTheFirstStepUntilProjectsAreStored) {
    ShellTestEnv env;
    env.createDatabase(); // as the first run leaves it: the tables and nothing in them
    ui::ScopedScriptedUi ui;
    frmMain w;
    w.Form_Load();
    w.show();
    auto* frame = w.findChild<QFrame*>(QStringLiteral("fraFirstStep"));
    ASSERT_NE(frame, nullptr);
    auto* label = w.findChild<QLabel*>(QStringLiteral("lblFirstStep"));
    auto* button = w.findChild<QPushButton*>(QStringLiteral("cmdFirstStep"));
    // No service address stored yet: that comes first.
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(label->text().contains(QStringLiteral("Options -> Program Preferences")))
        << qPrintable(label->text());
    EXPECT_EQ(button->text(), QStringLiteral("Server Se&ttings ..."));

    // The button opens Preferences with the focus in the address; saving it there moves the
    // hint on to finding projects.
    QString focus;
    DialogWatch<frmPrefs> prefs([&](frmPrefs* p) {
        focus = focusName(p);
        p->findChild<QLineEdit*>(QStringLiteral("txtServerAddr"))
            ->setText(QStringLiteral("127.0.0.1"));
        p->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    button->click();
    EXPECT_EQ(prefs.shown, 1);
    EXPECT_EQ(focus, QStringLiteral("txtServerAddr"));
    EXPECT_EQ(ReadSetting(QStringLiteral("SERVERADDR")), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(label->text().contains(QStringLiteral("File -> Find Projects (Online)")))
        << qPrintable(label->text());
    EXPECT_EQ(button->text(), QStringLiteral("Find Pro&jects ..."));

    DialogWatch<server::frmFind> find([](server::frmFind*) {});
    button->click();
    EXPECT_EQ(find.shown, 1);

    // Projects imported: the list shows them and the hint is gone.
    ShellTestEnv::execute(env.store(), {ShellTestEnv::insertProject(
                                           7, QStringLiteral("Harbor Pier"),
                                           QStringLiteral("2026-12-20 00:00:00"), true, false)});
    w.LoadProjects(QStringLiteral("ALL"), true);
    EXPECT_FALSE(frame->isVisible());
    // A search that matches nothing is not an empty database.
    w.findChild<QLineEdit*>(QStringLiteral("txtSearch"))->setText(QStringLiteral("zzzz"));
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(ui.shown().isEmpty()) << qPrintable(ui.last().text);
}

TEST(FirstRun, RefusedConnectionOffersPreferencesAtTheServerAddress) {
    ShellTestEnv env;
    ui::ScopedScriptedUi ui;
    // A port nobody listens on.
    quint16 port = 0;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        port = gone.serverPort();
    }
    WriteSetting(QStringLiteral("SERVERADDR"), QStringLiteral("127.0.0.1"));
    WriteSetting(QStringLiteral("SERVERPORT"), QString::number(port));
    modResources::UserName = QStringLiteral("estimator");
    modResources::Password = QStringLiteral("secret");
    frmMain w;
    w.Form_Load();
    w.show();

    server::frmFind find(&w);
    find.show();
    find.findChild<QLineEdit*>(QStringLiteral("txtJobName"))->setText(QStringLiteral("School"));
    QString focus;
    DialogWatch<frmPrefs> prefs([&](frmPrefs* p) { focus = focusName(p); });
    ui.answerMessage(ui::Answer::Action); // the message's extra button
    find.Search();
    while (find.Busy)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text,
              QStringLiteral("Error communicating with server - 10061 Connection refused"));
    EXPECT_EQ(ui.last().title, QStringLiteral("System Error"));
    EXPECT_EQ(ui.last().icon, ui::Icon::Critical);
    EXPECT_EQ(ui.last().action, server::ServerSettingsCaption());
    EXPECT_EQ(prefs.shown, 1);
    EXPECT_EQ(focus, QStringLiteral("txtServerAddr"));
    // The search dialog is ready for another try.
    EXPECT_TRUE(find.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());

    // Ok leaves it at the message.
    find.Search();
    while (find.Busy)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(ui.shown().size(), 2);
    EXPECT_EQ(prefs.shown, 1);
    find.close();
}

TEST(FirstRun, TheMessageBoxsExtraButtonIsAnsweredApart) {
    ui::ScopedQtUi qt;
    const QString text =
        QStringLiteral("Error communicating with server - 10061 Connection refused");
    QString shownText;
    QStringList captions;
    DialogWatch<QMessageBox> pressAction([&](QMessageBox* box) {
        shownText = box->text();
        for (QAbstractButton* b : box->buttons())
            captions << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("Server &Settings ..."))
                b->click();
    });
    EXPECT_EQ(ui::current().messageWithAction(text, ui::Buttons::Ok, ui::Icon::Critical,
                                              QStringLiteral("System Error"),
                                              QStringLiteral("Server &Settings ...")),
              ui::Answer::Action);
    EXPECT_EQ(shownText, text);
    EXPECT_EQ(captions.size(), 2) << qPrintable(captions.join(QLatin1Char('|')));
}

TEST(FirstRun, OkAndEscapeOfTheBoxWithAnExtraButtonAreOk) {
    ui::ScopedQtUi qt;
    for (const bool escape : {false, true}) {
        DialogWatch<QMessageBox> close([&](QMessageBox* box) {
            if (escape) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(box, &key);
            } else {
                box->button(QMessageBox::Ok)->click();
            }
        });
        EXPECT_EQ(ui::current().messageWithAction(
                      QStringLiteral("x"), ui::Buttons::Ok, ui::Icon::Critical,
                      QStringLiteral("System Error"), QStringLiteral("Server &Settings ...")),
                  ui::Answer::Ok)
            << (escape ? "escape" : "ok");
    }
}
