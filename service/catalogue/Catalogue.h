#pragma once
// The service's catalogue: the generated projects in memory, at their current generation, and
// the catalogue file DIR/catalogue.db holding the searchable tables [Job Information] and
// [Jobs Detail] and the generation each project has reached (so restarts keep the changes).
#include "service/catalogue/Project.h"
#include "service/catalogue/SqliteFile.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>

namespace brevant::service {

class Catalogue {
public:
    // Opens or creates the catalogue under dataDir. A catalogue file made with another seed or
    // size starts again from generation 0.
    Catalogue(const QString& dataDir, std::uint64_t seed, int projectCount, const QDate& today);

    const QVector<Project>& projects() const { return projects_; }
    const Project* find(int jobId) const;
    QString dataDir() const { return dataDir_; }
    QString databasePath() const;
    std::uint64_t seed() const { return seed_; }

    // Moves the project on by one generation, stores it, and returns what changed.
    QStringList advance(int jobId);

private:
    void createTables();
    void inTransaction(const std::function<void()>& work);
    void writeSearchRows(const Project& p);
    void storeGeneration(const Project& p);

    QString dataDir_;
    std::uint64_t seed_;
    QDate today_;
    QVector<Project> projects_;
    QHash<int, int> index_;
    std::unique_ptr<SqliteFile> db_;
};

// "YYYY-MM-DD HH:MM:SS", the stored form of dates in the catalogue file.
QString storedDate(const QDateTime& dt);

} // namespace brevant::service
