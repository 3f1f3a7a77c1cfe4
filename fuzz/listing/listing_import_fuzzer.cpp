// Feeds arbitrary bytes to the listing-document import, as the server's archive would deliver
// them, into an in-memory database with the client's schema. Whatever the document, the import
// must end, and a project is stored whole or not at all: each stored project's specs, plans and
// contacts are exactly those of one of its document entries.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "server/ListingDocument.h"
#include "server/ListingImport.h"

#include <QCoreApplication>
#include <QHash>
#include <cstdint>
#include <cstdlib>

using namespace brevant;

namespace {

db::Connection* database() {
    static db::Connection* c = [] {
        auto* conn = new db::Connection;
        conn->open(QStringLiteral(":memory:"), db::Connection::Mode::Create);
        db::createDesktopSchema(*conn);
        conn->reloadSchema();
        return conn;
    }();
    return c;
}

int scalar(const QString& sql) {
    db::Recordset rs;
    rs.open(sql, *database());
    return rs.eof() ? 0 : rs.field(0).toInt();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 256 * 1024)
        return 0;
    db::Connection& c = *database();
    c.executeNative(QStringLiteral("DELETE FROM Projects; DELETE FROM Specs; DELETE FROM Plans; "
                                   "DELETE FROM Contacts;"));
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    const server::ImportOutcome out = server::ImportListingData(xml, c);

    server::ListingDocument doc;
    QString reason;
    const bool parsed = server::ParseListingDocument(xml, doc, &reason);
    if (parsed != (out.status != server::ImportOutcome::Status::ParseError))
        std::abort();
    if (out.imported != scalar(QStringLiteral("SELECT Count(*) FROM Projects")))
        std::abort();
    // Every stored project has exactly the rows of one of its document entries: the first that
    // could be stored (an earlier one with, say, two sheets of the same name is skipped whole).
    QMultiHash<int, const server::ListingProject*> entries;
    for (const server::ListingProject& p : doc.projects) {
        bool ok = false;
        const int id = p.field(QStringLiteral("Job_ID")).trimmed().toInt(&ok);
        if (ok && p.projectFieldCount > 0)
            entries.insert(id, &p);
    }
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT Job_ID FROM Projects"), c);
    while (!rs.eof()) {
        const int id = rs.field(0).toInt();
        const QString n = QString::number(id);
        const int specs = scalar("SELECT Count(*) FROM Specs WHERE JobID=" + n);
        const int plans = scalar("SELECT Count(*) FROM Plans WHERE JobID=" + n);
        const int contacts = scalar("SELECT Count(*) FROM Contacts WHERE Job_ID=" + n);
        bool whole = false;
        for (auto it = entries.find(id); it != entries.end() && it.key() == id; ++it) {
            const server::ListingProject* p = it.value();
            whole = whole || (specs == p->specs.size() && plans == p->plans.size() &&
                              contacts == p->contacts.size());
        }
        if (!whole)
            std::abort();
        rs.moveNext();
    }
    return 0;
}
