#include "shell/MigrateStore.h"

#include "base/ProgramFolders.h"
#include "base/Settings.h"
#include "base/Workstation.h"
#include "platform/db/DbError.h"
#include "platform/ui/TerminalText.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QThread>

namespace brevant::shell {

namespace {

QString number(qint64 n) {
    return QLocale().toString(n);
}

// Where this computer's attached files are: the document cache's root (each project's files in
// its numbered folder).
QString AttachedFilesFolder() {
    return ReadSetting(QStringLiteral("CACHELOC"), base::ProgramFolder());
}

// The file being moved is this workstation's: what it says is downloaded is in this
// workstation's cache. Settings that cannot be written record nothing rather than fail.
QString thisWorkstation() {
    try {
        return base::WorkstationId();
    } catch (...) {
        return {};
    }
}

} // namespace

QStringList MigrationCountLines(const db::MigrationResult& result) {
    QStringList lines;
    for (const db::MigrationTableCount& t : result.tables) {
        QString line =
            QCoreApplication::translate("brevant::shell::MigrateStore", "%1: %2 of %3 rows copied")
                .arg(t.table, number(t.copied), number(t.source));
        if (t.present > 0)
            line +=
                QCoreApplication::translate("brevant::shell::MigrateStore", ", %1 there already")
                    .arg(number(t.present));
        if (t.conflicts > 0)
            line += QCoreApplication::translate("brevant::shell::MigrateStore",
                                                " (%1 differ; the firm store's rows were kept)")
                        .arg(number(t.conflicts));
        lines << line;
    }
    if (!result.skippedTables.isEmpty())
        lines << QCoreApplication::translate("brevant::shell::MigrateStore",
                                             "Not copied (not project tables): %1")
                     .arg(result.skippedTables.join(QStringLiteral(", ")));
    if (result.filesCarried > 0)
        lines << QCoreApplication::translate("brevant::shell::MigrateStore",
                                             "Attached files put into the firm store: %1")
                     .arg(number(result.filesCarried));
    for (const QString& file : result.filesNotCarried)
        lines << QCoreApplication::translate("brevant::shell::MigrateStore",
                                             "Attached file not put into the firm store "
                                             "(it opens only on this computer): %1")
                     .arg(ui::escapeForTerminal(file));
    return lines;
}

QString MigrationSummary(const db::MigrationResult& result, const QString& source) {
    using Outcome = db::MigrationResult::Outcome;
    switch (result.outcome) {
    case Outcome::Copied:
        return QCoreApplication::translate("brevant::shell::MigrateStore",
                                           "%1 rows were copied from %2 into %3.")
            .arg(number(result.copied()), source, result.target);
    case Outcome::NothingToDo:
        return QCoreApplication::translate("brevant::shell::MigrateStore",
                                           "Nothing to do: %1 already holds every project of %2.")
            .arg(result.target, source);
    case Outcome::TargetNotEmpty:
        return QCoreApplication::translate(
                   "brevant::shell::MigrateStore",
                   "%1 already holds projects, so nothing was copied. To add the %2 rows it "
                   "lacks, run the migration again with --merge (the firm store keeps its own "
                   "rows where both have one).")
            .arg(result.target, number(result.copied()));
    case Outcome::Cancelled:
        return QCoreApplication::translate("brevant::shell::MigrateStore",
                                           "The migration was cancelled; %1 was left as it was.")
            .arg(result.target);
    }
    return {};
}

int MigrationExitCode(const db::MigrationResult& result) {
    using Outcome = db::MigrationResult::Outcome;
    switch (result.outcome) {
    case Outcome::Copied:
    case Outcome::NothingToDo:
        return MigrateDone;
    case Outcome::TargetNotEmpty:
        return MigrateRefused;
    case Outcome::Cancelled:
        return MigrateCancelled;
    }
    return MigrateFailed;
}

int MigrateStoreCommand(const db::StoreLocator& source, const db::StoreLocator& target, bool merge,
                        QTextStream& out, QTextStream& err) {
    db::MigrationOptions options;
    options.merge = merge;
    options.attachmentFolder = AttachedFilesFolder();
    options.workstation = thisWorkstation();
    QString table;
    qint64 nextTenth = 1;
    options.progress = [&](const db::MigrationProgress& p) {
        if (p.table != table) {
            table = p.table;
            out << QCoreApplication::translate("brevant::shell::MigrateStore",
                                               "Reading %1 (%2 rows)")
                       .arg(p.table, number(p.tableTotal))
                << Qt::endl;
        }
        while (p.total > 0 && nextTenth <= 10 && p.done * 10 >= p.total * nextTenth) {
            out << QCoreApplication::translate("brevant::shell::MigrateStore",
                                               "%1% (%2 of %3 rows)")
                       .arg(nextTenth * 10)
                       .arg(number(p.done), number(p.total))
                << Qt::endl;
            ++nextTenth;
        }
    };
    out << QCoreApplication::translate("brevant::shell::MigrateStore",
                                       "Moving the projects of %1 into %2.")
               .arg(source.describe(), target.describe())
        << Qt::endl;
    try {
        const db::MigrationResult result = db::migrateStore(source, target, options);
        for (const QString& line : MigrationCountLines(result))
            out << line << Qt::endl;
        const QString summary = MigrationSummary(result, source.describe());
        (result.outcome == db::MigrationResult::Outcome::TargetNotEmpty ? err : out)
            << summary << Qt::endl;
        return MigrationExitCode(result);
    } catch (const db::DbError& e) {
        err << QCoreApplication::translate("brevant::shell::MigrateStore",
                                           "The migration failed, and %1 was left as it was: %2")
                   .arg(target.describe(), ui::escapeForTerminal(e.description()))
            << Qt::endl;
        return MigrateFailed;
    }
}

void StartMigration(QObject* context, const db::StoreLocator& source,
                    const db::StoreLocator& target, bool merge,
                    std::shared_ptr<std::atomic<bool>> cancel,
                    std::function<void(const db::MigrationProgress&)> progress,
                    std::function<void(const MigrationRun&)> done) {
    QPointer<QObject> guard(context);
    const QString attachmentFolder = AttachedFilesFolder(); // the settings, read on this thread
    const QString workstation = thisWorkstation();
    QThread* thread = QThread::create([=] {
        db::MigrationOptions options;
        options.merge = merge;
        options.attachmentFolder = attachmentFolder;
        options.workstation = workstation;
        options.cancel = cancel.get();
        // Posted to the application, which outlives every window; the guard is read on its
        // thread only.
        options.progress = [=](const db::MigrationProgress& p) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [guard, progress, p] {
                    if (guard && progress)
                        progress(p);
                },
                Qt::QueuedConnection);
        };
        MigrationRun run;
        try {
            run.result = db::migrateStore(source, target, options);
        } catch (const db::DbError& e) {
            run.failure = e.description();
        } catch (const std::exception& e) {
            run.failure = QString::fromLocal8Bit(e.what());
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, done, run] {
                if (guard && done)
                    done(run);
            },
            Qt::QueuedConnection);
    });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace brevant::shell
