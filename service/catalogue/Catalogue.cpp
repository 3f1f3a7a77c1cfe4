#include "service/catalogue/Catalogue.h"

#include "service/catalogue/CatalogueGenerator.h"
#include "service/catalogue/Generations.h"

#include <QDir>

namespace brevant::service {

QString storedDate(const QDateTime& dt) {
    return dt.isValid() ? dt.toString("yyyy-MM-dd HH:mm:ss") : QString();
}

Catalogue::Catalogue(const QString& dataDir, std::uint64_t seed, int projectCount,
                     const QDate& today)
    : dataDir_(dataDir), seed_(seed), today_(today) {
    if (!QDir().mkpath(dataDir))
        throw SqliteError(("cannot create " + dataDir).toStdString());
    db_ = std::make_unique<SqliteFile>(databasePath());
    db_->exec("PRAGMA journal_mode=WAL");
    createTables();

    const QString identity = QString("%1/%2").arg(seed).arg(projectCount);
    QString stored;
    {
        SqliteFile::Statement q(*db_, "SELECT Value FROM Meta WHERE Key = 'catalogue'");
        if (q.step())
            stored = q.text(0);
    }
    QHash<int, int> generations;
    if (stored == identity) {
        SqliteFile::Statement q(*db_, "SELECT JobID, Generation FROM Generations");
        while (q.step())
            generations.insert(int(q.integer(0)), int(q.integer(1)));
    } else {
        db_->exec("DELETE FROM Generations");
        SqliteFile::Statement m(*db_, "INSERT OR REPLACE INTO Meta (Key, Value) "
                                      "VALUES ('catalogue', ?)");
        m.bind(1, identity).step();
    }

    projects_.reserve(projectCount);
    for (int i = 0; i < projectCount; ++i) {
        Project p = generateProject(seed, i, today);
        for (int g = generations.value(p.jobId, 0); g > 0; --g)
            advanceGeneration(p, seed, today);
        index_.insert(p.jobId, i);
        projects_.push_back(std::move(p));
    }

    inTransaction([&] {
        db_->exec("DELETE FROM [Job Information]");
        db_->exec("DELETE FROM [Jobs Detail]");
        for (const Project& p : projects_)
            writeSearchRows(p);
    });
}

QString Catalogue::databasePath() const {
    return QDir(dataDir_).filePath("catalogue.db");
}

void Catalogue::inTransaction(const std::function<void()>& work) {
    db_->exec("BEGIN");
    try {
        work();
        db_->exec("COMMIT");
    } catch (...) {
        db_->exec("ROLLBACK");
        throw;
    }
}

void Catalogue::createTables() {
    db_->exec("CREATE TABLE IF NOT EXISTS Meta (Key TEXT PRIMARY KEY, Value TEXT)");
    db_->exec("CREATE TABLE IF NOT EXISTS Generations (JobID INTEGER PRIMARY KEY, "
              "Generation INTEGER NOT NULL)");
    // The tables a search clause is written against; dates are stored as sortable text and
    // declared DATETIME so the SQL translator compares them as dates.
    db_->exec("CREATE TABLE IF NOT EXISTS [Job Information] ("
              "Job_ID INTEGER PRIMARY KEY, Name TEXT COLLATE NOCASE, City TEXT COLLATE NOCASE, "
              "State TEXT COLLATE NOCASE, Due_Date DATETIME, Description TEXT COLLATE NOCASE, "
              "[Estimated Cost] INTEGER, [Estimated Cost End] INTEGER, Other TEXT COLLATE NOCASE, "
              "Bins TEXT COLLATE NOCASE, Addendum TEXT COLLATE NOCASE, Pre_Bid BOOLEAN, "
              "Mandatory BOOLEAN, Pre_Bid_Date DATETIME, Building INTEGER, Region INTEGER)");
    db_->exec("CREATE TABLE IF NOT EXISTS [Jobs Detail] (JobID INTEGER NOT NULL, "
              "Section TEXT COLLATE NOCASE, Description TEXT COLLATE NOCASE)");
    db_->exec("CREATE INDEX IF NOT EXISTS JobsDetailSection ON [Jobs Detail] (Section)");
}

void Catalogue::writeSearchRows(const Project& p) {
    {
        SqliteFile::Statement del(*db_, "DELETE FROM [Job Information] WHERE Job_ID = ?");
        del.bind(1, p.jobId).step();
        SqliteFile::Statement det(*db_, "DELETE FROM [Jobs Detail] WHERE JobID = ?");
        det.bind(1, p.jobId).step();
    }
    SqliteFile::Statement ins(
        *db_, "INSERT INTO [Job Information] VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    ins.bind(1, p.jobId)
        .bind(2, p.name)
        .bind(3, p.city)
        .bind(4, p.state)
        .bind(5, storedDate(p.dueDate))
        .bind(6, p.description)
        .bind(7, p.costLow)
        .bind(8, p.costHigh)
        .bind(9, p.other)
        .bind(10, p.bins)
        .bind(11, p.addendum)
        .bind(12, int(p.preBid))
        .bind(13, int(p.mandatory))
        .bind(14, p.preBidDate.isValid() ? QVariant(storedDate(p.preBidDate)) : QVariant())
        .bind(15, p.building)
        .bind(16, p.region)
        .step();
    SqliteFile::Statement spec(*db_, "INSERT INTO [Jobs Detail] VALUES (?,?,?)");
    for (const SpecEntry& s : p.specs) {
        // Only CSI sections are searchable; TOC entries and addenda are not sections.
        if (s.section.startsWith("TOC") || s.section.startsWith("ADD"))
            continue;
        spec.bind(1, p.jobId).bind(2, s.section).bind(3, s.description).step();
        spec.reset();
    }
}

void Catalogue::storeGeneration(const Project& p) {
    SqliteFile::Statement q(*db_, "INSERT OR REPLACE INTO Generations (JobID, Generation) "
                                  "VALUES (?, ?)");
    q.bind(1, p.jobId).bind(2, p.generation).step();
}

const Project* Catalogue::find(int jobId) const {
    auto it = index_.find(jobId);
    return it == index_.end() ? nullptr : &projects_.at(it.value());
}

QStringList Catalogue::advance(int jobId) {
    auto it = index_.find(jobId);
    if (it == index_.end())
        return {};
    Project& p = projects_[it.value()];
    QStringList done = advanceGeneration(p, seed_, today_);
    inTransaction([&] {
        writeSearchRows(p);
        storeGeneration(p);
    });
    return done;
}

} // namespace brevant::service
