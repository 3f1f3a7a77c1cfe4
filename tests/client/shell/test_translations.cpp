// Every text of the forms goes through translation, and a longer language still fits: a pseudo
// translation made from the committed template ("[~ text~~~ ~]", a third longer) is loaded, the
// forms are opened, and every visible text that is not pseudo-translated (it bypassed tr()) and
// every label or button narrower than its text is listed.
#include "ShellTestEnv.h"
#include "base/Translations.h"
#include "base/modResources.h"
#include "platform/ui/ScriptedUi.h"
#include "reports/frmCopy.h"
#include "reports/frmPrinter.h"
#include "reports/frmReportView.h"
#include "reports/frmSelectFiles.h"
#include "server/frmFind.h"
#include "server/frmTrack.h"
#include "shell/frmAbout.h"
#include "shell/frmIcons.h"
#include "shell/frmLogon.h"
#include "shell/frmMain.h"
#include "shell/frmPrefs.h"
#include "shell/frmSplash.h"
#include "shell/frmWait.h"
#include "store/frmAssign.h"
#include "store/frmAttach.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <gtest/gtest.h>
#include <memory>

using namespace brevant;
using brevant::shell::test::ShellTestEnv;

namespace {

const QString kTemplate = QStringLiteral(BREVANT_SOURCE_DIR "/translations/brevant.ts");

// "[~ " + text + a third of its length in "~" + " ~]": longer than English, as most languages
// are, and recognisable wherever it shows. Accelerators and %1 markers stay inside.
QString pseudo(const QString& text) {
    return QStringLiteral("[~ ") + text + QString((text.size() + 2) / 3, QLatin1Char('~')) +
           QStringLiteral(" ~]");
}

bool isPseudo(const QString& text) {
    return text.startsWith(QLatin1String("[~ ")) && text.endsWith(QLatin1String(" ~]"));
}

// The text of a .ts element: lupdate writes control characters (the CR of "\r\n") as
// <byte value="xd"/> elements.
QString readText(QXmlStreamReader& r) {
    QString text;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isCharacters()) {
            text += r.text();
        } else if (r.isStartElement() && r.name() == QLatin1String("byte")) {
            const QString value = r.attributes().value(QLatin1String("value")).toString();
            text += QChar(value.mid(1).toUShort(nullptr, 16));
            r.skipCurrentElement();
        } else if (r.isEndElement()) {
            break;
        }
    }
    return text;
}

void writeText(QXmlStreamWriter& w, const QString& name, const QString& text) {
    w.writeStartElement(name);
    QString run;
    for (QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) {
            w.writeCharacters(run);
            run.clear();
            w.writeEmptyElement(QStringLiteral("byte"));
            w.writeAttribute(QStringLiteral("value"),
                             QStringLiteral("x%1").arg(c.unicode(), 0, 16));
        } else {
            run += c;
        }
    }
    w.writeCharacters(run);
    w.writeEndElement();
}

// Writes the template with every message translated by pseudo() as a German .ts, compiles it
// with lrelease and returns the .qm file's path (empty, with *error set, on failure).
QString makePseudoTranslation(const QString& folder, QString* error) {
    QFile in(kTemplate);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = kTemplate + QStringLiteral(" cannot be read");
        return {};
    }
    const QString ts = folder + QStringLiteral("/brevant_de.ts");
    QFile out(ts);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = ts + QStringLiteral(" cannot be written");
        return {};
    }
    QXmlStreamReader r(&in);
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    w.writeStartElement(QStringLiteral("TS"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    w.writeAttribute(QStringLiteral("language"), QStringLiteral("de"));
    int messages = 0;
    while (r.readNextStartElement()) {
        if (r.name() == QLatin1String("TS"))
            continue;
        if (r.name() != QLatin1String("context")) {
            r.skipCurrentElement();
            continue;
        }
        w.writeStartElement(QStringLiteral("context"));
        while (r.readNextStartElement()) {
            if (r.name() == QLatin1String("name")) {
                w.writeTextElement(QStringLiteral("name"), r.readElementText());
            } else if (r.name() == QLatin1String("message")) {
                QString source;
                QString comment;
                while (r.readNextStartElement()) {
                    if (r.name() == QLatin1String("source"))
                        source = readText(r);
                    else if (r.name() == QLatin1String("comment"))
                        comment = readText(r);
                    else
                        r.skipCurrentElement();
                }
                w.writeStartElement(QStringLiteral("message"));
                writeText(w, QStringLiteral("source"), source);
                if (!comment.isEmpty())
                    writeText(w, QStringLiteral("comment"), comment);
                writeText(w, QStringLiteral("translation"), pseudo(source));
                w.writeEndElement();
                ++messages;
            } else {
                r.skipCurrentElement();
            }
        }
        w.writeEndElement();
    }
    w.writeEndDocument();
    out.close();
    if (r.hasError() || messages == 0) {
        *error = QStringLiteral("the template holds no messages: ") + r.errorString();
        return {};
    }
    const QString qm = folder + QStringLiteral("/brevant_de.qm");
    QProcess lrelease;
    lrelease.start(QStringLiteral(LRELEASE_EXE),
                   {QStringLiteral("-silent"), ts, QStringLiteral("-qm"), qm});
    if (!lrelease.waitForFinished(-1) || lrelease.exitCode() != 0 || !QFile::exists(qm)) {
        *error = QStringLiteral("lrelease failed: ") +
                 QString::fromLocal8Bit(lrelease.readAllStandardError());
        return {};
    }
    return qm;
}

// What one form shows, and where it fails: texts that bypassed translation, controls too
// narrow for their text.
struct Findings {
    QStringList untranslated;
    QStringList clipped;
};

QString where(const QWidget* w) {
    QStringList path;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (!p->objectName().isEmpty())
            path.prepend(p->objectName());
        if (p->isWindow())
            break;
    }
    return path.join(QLatin1Char('/')) + QStringLiteral(" (") +
           QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(')');
}

class Walker {
public:
    // Object names of controls whose text is data (a project's, a file's, the user's).
    explicit Walker(QSet<QString> data) : data_(std::move(data)) {}

    void check(const QWidget* w, const QString& what, const QString& text) {
        if (text.isEmpty() || isPseudo(text) || data_.contains(w->objectName()))
            return;
        found.untranslated << QStringLiteral("%1 %2: \"%3\"").arg(where(w), what, text);
    }

    void checkAction(const QWidget* w, const QAction* a) {
        if (a->isSeparator() || !a->isVisible())
            return;
        check(w, QStringLiteral("action ") + a->objectName(), a->text());
        if (a->toolTip() != QString(a->text()).remove(QLatin1Char('&')))
            check(w, QStringLiteral("tool tip of ") + a->objectName(), a->toolTip());
        if (a->menu())
            walkMenu(a->menu());
    }

    void walkMenu(const QMenu* menu) {
        check(menu, QStringLiteral("title"), menu->title());
        for (const QAction* a : menu->actions())
            checkAction(menu, a);
    }

    void walk(QWidget* window) {
        window->show();
        if (window->layout())
            window->layout()->activate();
        check(window, QStringLiteral("window title"), window->windowTitle());
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            if (!w->isVisibleTo(window) && w != window)
                continue;
            if (!w->toolTip().isEmpty())
                check(w, QStringLiteral("tool tip"), w->toolTip());
            if (auto* label = qobject_cast<QLabel*>(w)) {
                check(w, QStringLiteral("text"), label->text());
                if (!label->text().isEmpty() && isClipped(label))
                    clip(w, label->text(), label->sizeHint().width());
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                check(w, QStringLiteral("text"), button->text());
                if (!button->text().isEmpty() && button->sizeHint().width() > button->width())
                    clip(w, button->text(), button->sizeHint().width());
            } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
                check(w, QStringLiteral("title"), box->title());
            } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                for (int i = 0; i < tabs->count(); ++i)
                    check(w, QStringLiteral("tab %1").arg(i), tabs->tabText(i));
            } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
                if (!tree->isHeaderHidden()) {
                    for (int i = 0; i < tree->columnCount(); ++i)
                        check(w, QStringLiteral("column %1").arg(i), tree->headerItem()->text(i));
                }
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < combo->count(); ++i)
                    check(w, QStringLiteral("item %1").arg(i), combo->itemText(i));
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                check(w, QStringLiteral("placeholder"), edit->placeholderText());
            } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
                for (const QAction* a : bar->actions())
                    checkAction(w, a);
            }
            if (!qobject_cast<QMenuBar*>(w) && !qobject_cast<QMenu*>(w)) {
                for (const QAction* a : w->actions()) {
                    if (!a->objectName().isEmpty())
                        checkAction(w, a);
                }
            }
        }
        // Pop-up menus are not shown until asked for; their entries are checked all the same.
        for (const QMenu* menu : window->findChildren<QMenu*>())
            walkMenu(menu);
    }

    Findings found;

private:
    static bool isClipped(const QLabel* label) {
        if (label->wordWrap())
            return label->heightForWidth(label->width()) > label->height();
        return label->sizeHint().width() > label->width();
    }
    void clip(const QWidget* w, const QString& text, int needed) {
        found.clipped << QStringLiteral("%1: \"%2\" needs %3 pixels, has %4")
                             .arg(where(w), text)
                             .arg(needed)
                             .arg(w->width());
    }

    QSet<QString> data_;
};

class PseudoTranslationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new QTemporaryDir;
        QString error;
        qm_ = new QString(makePseudoTranslation(folder_->path(), &error));
        error_ = new QString(error);
    }
    static void TearDownTestSuite() {
        delete folder_;
        delete qm_;
        delete error_;
    }
    void SetUp() override {
        ASSERT_FALSE(qm_->isEmpty()) << error_->toStdString();
        ASSERT_TRUE(translator_.load(*qm_));
        ASSERT_TRUE(QCoreApplication::installTranslator(&translator_));
        main_ = std::make_unique<shell::frmMain>();
        main_->Form_Load();
        ui_.clear();
    }
    void TearDown() override {
        main_.reset();
        QCoreApplication::removeTranslator(&translator_);
    }

    // Opens the form, walks it and reports what it found.
    void expectTranslated(QWidget* form, const QSet<QString>& data = {}) {
        Walker walker(data);
        walker.walk(form);
        EXPECT_TRUE(walker.found.untranslated.isEmpty())
            << form->objectName().toStdString() << " shows texts that bypass translation:\n  "
            << walker.found.untranslated.join(QStringLiteral("\n  ")).toStdString();
        EXPECT_TRUE(walker.found.clipped.isEmpty())
            << form->objectName().toStdString() << " clips texts at its default size:\n  "
            << walker.found.clipped.join(QStringLiteral("\n  ")).toStdString();
        form->close();
    }

    static QTemporaryDir* folder_;
    static QString* qm_;
    static QString* error_;
    ShellTestEnv env_;
    ui::ScopedScriptedUi ui_;
    QTranslator translator_;
    std::unique_ptr<shell::frmMain> main_;
};
QTemporaryDir* PseudoTranslationTest::folder_ = nullptr;
QString* PseudoTranslationTest::qm_ = nullptr;
QString* PseudoTranslationTest::error_ = nullptr;

TEST_F(PseudoTranslationTest, TheCheckSeesATextThatBypassesTranslation) {
    // The walker itself: a form with one wrapped and one plain text fails on the plain one only.
    QWidget form;
    form.setObjectName(QStringLiteral("form"));
    form.setWindowTitle(pseudo(QStringLiteral("Title")));
    auto* layout = new QVBoxLayout(&form);
    auto* plain = new QLabel(QStringLiteral("Plain"), &form);
    plain->setObjectName(QStringLiteral("plain"));
    layout->addWidget(plain);
    auto* wrapped = new QPushButton(pseudo(QStringLiteral("Wrapped")), &form);
    wrapped->setObjectName(QStringLiteral("wrapped"));
    layout->addWidget(wrapped);
    auto* narrow = new QPushButton(pseudo(QStringLiteral("A long caption")), &form);
    narrow->setObjectName(QStringLiteral("narrow"));
    narrow->setFixedWidth(20);
    layout->addWidget(narrow);
    Walker walker({});
    walker.walk(&form);
    EXPECT_EQ(walker.found.untranslated,
              QStringList{QStringLiteral("form/plain (QLabel) text: \"Plain\"")});
    ASSERT_EQ(walker.found.clipped.size(), 1);
    EXPECT_TRUE(
        walker.found.clipped.first().startsWith(QLatin1String("form/narrow (QPushButton)")));
    // Data named as such is not a fault.
    Walker withData({QStringLiteral("plain")});
    withData.walk(&form);
    EXPECT_TRUE(withData.found.untranslated.isEmpty());
}

TEST_F(PseudoTranslationTest, TheTemplateTranslatesTheMainWindowsTexts) {
    EXPECT_EQ(main_->windowTitle(), pseudo(QStringLiteral("Brevant Desktop")));
    // The headers are translated, the sorting still goes by the caption itself.
    const auto* list = main_->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->headerItem()->text(0), pseudo(QStringLiteral("BID DATE")));
    EXPECT_EQ(list->property("columnCaptions").toStringList().value(0), QStringLiteral("BID DATE"));
}

TEST_F(PseudoTranslationTest, MainWindow) {
    // No project is selected: the frame's caption and the report panes hold no project's data.
    expectTranslated(main_.get());
}

TEST_F(PseudoTranslationTest, Preferences) {
    shell::PrefsHost host;
    host.programFolder = env_.home();
    host.dataLocation = env_.work();
    host.connection = modResources::DbConnection.get();
    shell::frmPrefs form(host, main_.get());
    expectTranslated(&form);
}

TEST_F(PseudoTranslationTest, FindProjects) {
    server::frmFind form(main_.get());
    expectTranslated(&form);
}

TEST_F(PseudoTranslationTest, TrackingList) {
    server::frmTrack form(main_.get());
    expectTranslated(&form);
}

TEST_F(PseudoTranslationTest, Logon) {
    shell::frmLogon form(main_.get());
    expectTranslated(&form);
}

TEST_F(PseudoTranslationTest, AboutIconsSplashAndWait) {
    shell::frmAbout about(main_.get());
    expectTranslated(&about);
    auto* icons = new shell::frmIcons(main_.get()); // deletes itself on close
    expectTranslated(icons);
    shell::frmSplash splash;
    expectTranslated(&splash);
    shell::frmWait wait(main_.get());
    expectTranslated(&wait);
}

TEST_F(PseudoTranslationTest, AttachAndAssign) {
    QString result;
    store::frmAttach attach(result, main_.get());
    expectTranslated(&attach);
    store::frmAssign assign(result, main_.get());
    expectTranslated(&assign);
}

TEST_F(PseudoTranslationTest, ReportsCopyPrintAndMail) {
    reports::frmReportView view(
        QCoreApplication::translate("brevant::shell::frmMain", "Current Project List Report"),
        QStringLiteral("{\\rtf1 report}"), main_.get());
    expectTranslated(&view);
    reports::frmCopy copy(1, main_.get());
    expectTranslated(&copy);
    // The printers' names, drivers and ports are the system's.
    reports::frmPrinter printer(QStringLiteral("FULL"), main_.get());
    expectTranslated(&printer, {QStringLiteral("List1")});
    reports::frmSelectFiles mail(QStringLiteral("NONE"), env_.home(), QStringLiteral("Project"),
                                 main_.get());
    expectTranslated(&mail);
}

TEST_F(PseudoTranslationTest, TheProgramLoadsTheTranslationOfTheUsersLanguage) {
    // A translation in the data folder's "translations" is found by the locale's language.
    QCoreApplication::removeTranslator(&translator_);
    QTemporaryDir share;
    ASSERT_TRUE(QDir().mkpath(share.filePath(QStringLiteral("translations"))));
    ASSERT_TRUE(QFile::copy(*qm_, share.filePath(QStringLiteral("translations/brevant_de.qm"))));
    const QByteArray old = qgetenv("BREVANT_SHARE");
    qputenv("BREVANT_SHARE", share.path().toUtf8());
    // French has no translation: the English texts stay.
    base::InstallTranslations(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(QCoreApplication::translate("brevant::shell::frmLogon", "&OK"),
              QStringLiteral("&OK"));
    EXPECT_GE(base::InstallTranslations(QLocale(QLocale::German, QLocale::Germany)), 1);
    EXPECT_EQ(QCoreApplication::translate("brevant::shell::frmLogon", "&OK"),
              pseudo(QStringLiteral("&OK")));
    if (old.isNull())
        qunsetenv("BREVANT_SHARE");
    else
        qputenv("BREVANT_SHARE", old);
    // The installed translators stay with the application; take them off for the next tests.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

} // namespace
