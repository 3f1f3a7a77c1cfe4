#pragma once
// A throw-away program folder and settings file for one test, a Desktop.mdb (or, on the
// PostgreSQL run, a server store: TestStore.h) with the projects the test asks for, and the
// process-wide state reset before and after.
#include "TestStore.h"
#include "base/Settings.h"
#include "base/Workstation.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <optional>

namespace brevant::shell::test {

class ShellTestEnv {
public:
    ShellTestEnv() {
        save("BREVANT_HOME", dir_.filePath(QStringLiteral("home")));
        save("BREVANT_REGISTRY", dir_.filePath(QStringLiteral("registry")));
        save("BREVANT_SPLASH_MS", QStringLiteral("0"));
        // The single-instance socket of the test's program folder lives with the test.
        save("XDG_RUNTIME_DIR", dir_.path());
        modResources::Reset();
    }
    ~ShellTestEnv() {
        CloseDatabase();
        modResources::Reset();
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
    }
    ShellTestEnv(const ShellTestEnv&) = delete;
    ShellTestEnv& operator=(const ShellTestEnv&) = delete;

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString home() const { return path(QStringLiteral("home")); }
    QString work() const { return home() + QStringLiteral("/Work"); }

    // Creates <folder>/Desktop.mdb (default: the program folder's Work) with the schema and
    // returns it; on the PostgreSQL run a fresh server store instead, returning its locator,
    // which the settings name as the store start-up opens.
    QString createDatabase(QString folder = QString()) {
        const bool work = folder.isEmpty();
        if (work)
            folder = this->work();
        QDir().mkpath(folder);
        const QString store = stores_.create(folder + QStringLiteral("/Desktop.mdb"));
        if (work) {
            workStore_ = store;
            if (teststore::onPostgreSql())
                WriteSetting(QStringLiteral("STORE"), store);
        }
        return store;
    }
    // The store the program opens: the one createDatabase() made, else Work's Desktop.mdb.
    QString store() const {
        return workStore_.isEmpty() ? work() + QStringLiteral("/Desktop.mdb") : workStore_;
    }

    // Runs Jet statements on a store of the test.
    static void execute(const QString& file, const QStringList& statements) {
        db::Connection c;
        c.open(file);
        // As this PC: a firm store keeps Local per workstation, and the window is this one.
        c.setWorkstation(base::WorkstationId());
        for (const QString& s : statements)
            c.execute(s);
        c.close();
    }

    static QString insertProject(int id, const QString& name, const QString& due, bool isNew,
                                 bool tracked) {
        QString escaped = name;
        escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QStringLiteral("Insert into [Projects] ([Job_ID], [Name], [Due_Date], [New], "
                              "[Tracked]) values (%1, '%2', '%3', %4, %5)")
            .arg(id)
            .arg(escaped, due, isNew ? QStringLiteral("TRUE") : QStringLiteral("FALSE"),
                 tracked ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }

private:
    void save(const char* name, const QString& value) {
        std::optional<QByteArray> old;
        if (qEnvironmentVariableIsSet(name))
            old = qgetenv(name);
        saved_.emplace_back(QByteArray(name), old);
        qputenv(name, value.toUtf8());
    }

    QTemporaryDir dir_;
    teststore::TestStores stores_; // after dir_ and before the connections: outlives them
    QString workStore_;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// The texts of one column of a list view, top to bottom.
inline QStringList columnTexts(const QTreeWidget* view, int column) {
    QStringList out;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        out << view->topLevelItem(i)->text(column);
    return out;
}

// Types into a widget as the keyboard would: one key press and release per character.
inline void typeKey(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}
inline void typeText(QWidget* widget, const QString& text) {
    for (QChar c : text)
        typeKey(widget, c.toUpper().unicode(), QString(c));
}

} // namespace brevant::shell::test
