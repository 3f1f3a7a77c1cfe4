// The File menu's "Move Projects to the Firm Store...": this computer's Desktop.mdb copied into
// the firm store (the one Preferences chose, or one typed here) on a thread of its own, with the
// wait window's progress bar and Cancel, and the counts per table at the end. The copying is
// MigrateStore's.
#include "shell/frmMain.h"

#include "base/ChosenStore.h"
#include "platform/ui/Ui.h"
#include "shell/MigrateStore.h"

#include <QCoreApplication>

namespace brevant::shell {

namespace {

QString title() {
    return QCoreApplication::translate("brevant::shell::frmMain",
                                       "Move Projects to the Firm Store");
}

} // namespace

void frmMain::mnuFileMigrateStore_Click() {
    // Both stores are decided now and carried to the end, whatever changes meanwhile.
    const db::StoreLocator source = base::ThisComputerStore();
    db::StoreLocator target = base::ChosenStore();
    if (target.kind() != db::StoreLocator::Kind::PostgreSql) {
        const std::optional<QString> typed = ui::current().input(
            tr("The firm store to move this computer's projects into: a PostgreSQL connection "
               "string such as host=server dbname=firm, or service=name."),
            title(), QString());
        if (!typed || typed->trimmed().isEmpty())
            return;
        target = db::StoreLocator::parseTyped(typed->trimmed());
        if (target.kind() != db::StoreLocator::Kind::PostgreSql) {
            ui::message(tr("\"%1\" is no PostgreSQL store.").arg(target.describe()),
                        ui::Buttons::Ok, ui::Icon::Exclamation, title());
            return;
        }
    }
    if (ui::message(tr("Copy every project of %1 into %2? This computer's database is not "
                       "changed.")
                        .arg(source.describe(), target.describe()),
                    ui::Buttons::YesNo, ui::Icon::Question, title()) != ui::Answer::Yes)
        return;
    startMigration(source, target, false);
}

void frmMain::startMigration(const db::StoreLocator& source, const db::StoreLocator& target,
                             bool merge) {
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    showWaitForm();
    setWaitCancel([cancel] { *cancel = true; });
    setWaitProgress(0, 0);
    StartMigration(
        this, source, target, merge, cancel,
        [this](const db::MigrationProgress& p) {
            setWaitProgress(p.done, p.total);
            setStatusText(tr("Copying %1 ...").arg(p.table));
        },
        [this, source, target, merge](const MigrationRun& run) {
            closeWaitForm();
            setStatusText(QString());
            if (!run.result) {
                ui::message(tr("The migration failed, and %1 was left as it was: %2")
                                .arg(target.describe(), run.failure),
                            ui::Buttons::Ok, ui::Icon::Exclamation, title());
                return;
            }
            const db::MigrationResult& r = *run.result;
            const QString counts = MigrationCountLines(r).join(QLatin1Char('\n'));
            if (r.outcome == db::MigrationResult::Outcome::TargetNotEmpty && !merge) {
                if (ui::message(tr("%1 already holds projects.\n\n%2\n\nAdd the %3 rows it "
                                   "lacks? Where both hold a row, the firm store's is kept.")
                                    .arg(r.target, counts)
                                    .arg(r.copied()),
                                ui::Buttons::YesNo, ui::Icon::Question, title()) == ui::Answer::Yes)
                    startMigration(source, target, true);
                return;
            }
            ui::message(counts + QStringLiteral("\n\n") + MigrationSummary(r, source.describe()),
                        ui::Buttons::Ok, ui::Icon::Information, title());
        });
}

} // namespace brevant::shell
