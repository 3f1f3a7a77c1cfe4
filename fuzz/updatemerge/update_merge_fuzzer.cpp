// Feeds arbitrary bytes to the update merge as the unpacked update document, into an in-memory
// Desktop.mdb holding a few projects. Whatever the document says, the merge must end without a
// crash, never leave a transaction open, and keep every project row it was given.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/db/sqlite/SqliteBackend.h"
#include "server/ProjectDocument.h"
#include "server/UpdateMerge.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>

namespace {

void storeProjects(brevant::db::Connection& c) {
    for (int id : {1, 2, 210001}) {
        c.execute("INSERT INTO Projects (Job_ID, City, Due_Date, [Name]) VALUES (" +
                  QString::number(id) + ", 'SPRINGFIELD', '1/1/1900', 'P')");
        c.execute("INSERT INTO Plans (JobID, File) VALUES (" + QString::number(id) +
                  ", 'PLAN001')");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brevant;
    const server::ReadResult read = server::readProjectDocument(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!read.document) {
        if (read.error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    db::Connection c;
    c.open(QStringLiteral(":memory:"), db::Connection::Mode::Create);
    db::createDesktopSchema(c);
    storeProjects(c);
    const server::MergeSummary s = server::mergeUpdateDocument(c, *read.document);
    if (sqlite3_get_autocommit(db::sqliteHandle(c)) == 0)
        std::abort(); // a transaction was left open
    db::Recordset rs;
    rs.open(QStringLiteral("Select Count(*) from Projects"), c);
    if (rs.field(0).toInt() != 3)
        std::abort();
    for (const server::ProjectMergeOutcome& o : s.merged) {
        if (o.jobId != 1 && o.jobId != 2 && o.jobId != 210001)
            std::abort(); // only stored projects are merged
    }
    return 0;
}
