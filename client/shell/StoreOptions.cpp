// The store options of the window-less commands: --store LOCATOR (another store than the
// settings name, for this run only) and --migrate-store TARGET [--merge].
#include "base/ChosenStore.h"
#include "shell/CommandLine.h"
#include "shell/MigrateStore.h"

#include <QCoreApplication>

namespace brevant::shell {

namespace {

const QCommandLineOption kStore(
    QStringLiteral("store"),
    QStringLiteral("With --check-updates, --export-list, --export-calendar or --migrate-store: "
                   "work on <locator> (a Desktop.mdb path, or a PostgreSQL connection string, "
                   "URI or service=name) instead of the store the settings name. A password in "
                   "it is used for this run only and never saved."),
    QStringLiteral("locator"));
const QCommandLineOption kMigrate(
    QStringLiteral("migrate-store"),
    QStringLiteral("Copy this computer's projects (or those of --store) into the firm store "
                   "<target>, a PostgreSQL database, in one transaction; refused when it holds "
                   "projects already, unless --merge."),
    QStringLiteral("target"));
const QCommandLineOption kMerge(
    QStringLiteral("merge"),
    QStringLiteral("With --migrate-store: add the rows the firm store lacks; where both hold a "
                   "row the firm store's is kept."));

// The options --store qualifies.
const char* const kStoreCommands[] = {"check-updates", "export-list", "export-calendar",
                                      "migrate-store"};

} // namespace

std::vector<ProgramOption> StoreProgramOptions() {
    auto store = [](const QCommandLineParser& p) -> std::optional<int> {
        bool command = false;
        for (const char* name : kStoreCommands)
            command = command || p.isSet(QLatin1String(name));
        QTextStream err(stderr);
        if (!command) {
            err << QCoreApplication::translate(
                       "brevant::shell::StoreOptions",
                       "--store goes with --check-updates, --export-list, --export-calendar or "
                       "--migrate-store.")
                << Qt::endl;
            return MigrateUsage;
        }
        const QString text = p.value(kStore).trimmed();
        if (text.isEmpty()) {
            err << QCoreApplication::translate("brevant::shell::StoreOptions",
                                               "--store needs the store's locator.")
                << Qt::endl;
            return MigrateUsage;
        }
        // Only in this process's memory: the settings keep their own store.
        base::OverrideStore(db::StoreLocator::parseTyped(text));
        return std::nullopt;
    };
    auto migrate = [](const QCommandLineParser& p) -> std::optional<int> {
        QTextStream out(stdout), err(stderr);
        const db::StoreLocator target = db::StoreLocator::parseTyped(p.value(kMigrate).trimmed());
        if (target.kind() != db::StoreLocator::Kind::PostgreSql) {
            err << QCoreApplication::translate(
                       "brevant::shell::StoreOptions",
                       "--migrate-store needs a PostgreSQL store (a connection string such as "
                       "\"host=server dbname=firm\", a postgresql:// URI or service=name), not "
                       "\"%1\".")
                       .arg(target.describe())
                << Qt::endl;
            return MigrateUsage;
        }
        // The projects to move are this computer's, whatever store the settings chose.
        const db::StoreLocator source =
            base::HasStoreOverride() ? base::ChosenStore() : base::ThisComputerStore();
        return MigrateStoreCommand(source, target, p.isSet(kMerge), out, err);
    };
    return {{kStore, store}, {kMigrate, migrate}, {kMerge, {}}};
}

} // namespace brevant::shell
