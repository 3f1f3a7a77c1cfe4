// Statements are built by long + chains; the builder makes each one allocation.
#define QT_USE_QSTRINGBUILDER
#include "server/ListingImport.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "server/DocumentLimits.h"
#include "server/ListingDocument.h"
#include "store/LostUnit.h"
#include "store/ProjectList.h"
#include "store/SqlValue.h"

#include <QCoreApplication>

namespace brevant::server {

using store::SqlValue;

namespace {

// The project fields in column order: element, whether a number, whether upper-cased.
struct FieldRule {
    const char* element;
    bool number;
    bool upper;
};
constexpr FieldRule kProjectFields[] = {
    {"Job_ID", true, false},         {"City", false, true},
    {"State", false, true},          {"Due_Date", false, false},
    {"Name", false, true},           {"Description", false, false},
    {"Estimated_Cost", true, false}, {"Estimated_Cost_End", true, false},
    {"Other", false, true},          {"Bins", false, true},
    {"Addendum", false, true},       {"Pre_Bid", true, false},
    {"Mandatory", true, false},      {"Pre_Bid_Date", false, false},
    {"Building", true, false},       {"Region", true, false},
};

const char* const kContactAttributes[] = {"Name",  "Contact",  "Phone",    "Extension",
                                          "Fax",   "Address1", "Address2", "City",
                                          "State", "Zip",      "Type"};
const bool kContactUpper[] = {true, true, false, false, false, true, true, true, true, false, true};

// A numeric column gets the value unquoted only when it is a number; anything else the server
// might send travels as quoted text, so it can never change the statement.
QString numberValue(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QStringLiteral("NULL");
    if (store::IsPlainDecimal(t))
        return SqlValue(t, true);
    return SqlValue(text, false);
}

QString textValue(const QString& text, bool upper) {
    return SqlValue(upper ? text.toUpper() : text, false);
}

QString describe(const ListingProject& p, const QString& reason) {
    const QString id = p.field(QStringLiteral("Job_ID")).trimmed();
    QString name = p.field(QStringLiteral("Name")).trimmed();
    return (id.isEmpty()
                ? QCoreApplication::translate("brevant::server::ListingImport", "(no number)")
                : id) +
           (name.isEmpty() ? QString() : QLatin1Char(' ') + name.toUpper()) +
           QStringLiteral(" - ") + reason;
}

} // namespace

int CountLocalProject(db::Connection& connection, int jobId) {
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT Count(*) FROM Projects WHERE Job_ID=") + QString::number(jobId),
            connection);
    const int n = rs.eof() ? 0 : rs.field(0).toInt();
    rs.close();
    return n;
}

namespace {

void insertProjectRows(const ListingProject& p, int jobId, db::Connection& c) {
    QString values;
    for (const FieldRule& f : kProjectFields) {
        if (!values.isEmpty())
            values += QLatin1Char(',');
        const QString text = p.field(QLatin1String(f.element));
        if (f.element == QLatin1String("Job_ID"))
            values += QString::number(jobId);
        else
            values += f.number ? numberValue(text) : textValue(text, f.upper);
    }
    c.execute(QStringLiteral("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], "
                             "[Description], [Estimated Cost], [Estimated Cost End], [Other], "
                             "Bins, Addendum, Pre_Bid, Mandatory, Pre_Bid_Date, Building, "
                             "[Region]) VALUES (") +
              values + QLatin1Char(')'));
    const QString id = QString::number(jobId);
    for (const AttributeRow& row : p.specs) {
        c.execute(QStringLiteral("INSERT INTO Specs (JobID, Spec, Description) VALUES (") + id +
                  QLatin1Char(',') + textValue(attribute(row, QStringLiteral("Name")), true) +
                  QLatin1Char(',') +
                  textValue(attribute(row, QStringLiteral("Description")), true) +
                  QLatin1Char(')'));
    }
    for (const AttributeRow& row : p.plans) {
        // A sheet the service has revised is stored at its revision, so that only a later one
        // counts as new.
        bool plain = false;
        const int revision = attribute(row, QStringLiteral("Revision")).trimmed().toInt(&plain);
        const bool revised = plain && revision > 0;
        c.execute(
            QStringLiteral("INSERT INTO Plans (JobID, File, Description, [Size]") +
            (revised ? QStringLiteral(", Revision) VALUES (") : QStringLiteral(") VALUES (")) + id +
            QLatin1Char(',') + textValue(attribute(row, QStringLiteral("Name")), true) +
            QLatin1Char(',') + textValue(attribute(row, QStringLiteral("Description")), true) +
            QLatin1Char(',') + numberValue(attribute(row, QStringLiteral("Size"))) +
            (revised ? QLatin1Char(',') + QString::number(revision) : QString()) +
            QLatin1Char(')'));
    }
    for (const AttributeRow& row : p.contacts) {
        QString v = id;
        for (size_t i = 0; i < std::size(kContactAttributes); ++i)
            v += QLatin1Char(',') +
                 textValue(attribute(row, QLatin1String(kContactAttributes[i])), kContactUpper[i]);
        c.execute(QStringLiteral("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, "
                                 "Fax, Address1, Address2, City, [State], Zip, [Type]) VALUES (") +
                  v + QLatin1Char(')'));
    }
}

} // namespace

bool InsertListingProject(const ListingProject& p, int jobId, db::Connection& c) {
    // The check belongs inside the locked unit: checked before it, two estimators importing
    // the same listing would both find the project missing and the second fail on the key.
    bool stored = false;
    try {
        db::runProjectUnit(c, jobId, [&] {
            stored = false;
            if (CountLocalProject(c, jobId) > 0)
                return;
            insertProjectRows(p, jobId, c);
            stored = true;
        });
    } catch (const db::DbError& e) {
        // A store without the lock (an SQLite file written by an older program beside this
        // one) can still refuse the row by its key: the project is there all the same.
        if (e.condition() != db::Condition::UniqueViolation || CountLocalProject(c, jobId) == 0)
            throw;
        return false;
    }
    return stored;
}

ImportOutcome ImportListingData(const QByteArray& xml, db::Connection& connection,
                                const std::function<void()>& yield,
                                const std::function<bool()>& stop) {
    ImportOutcome out;
    ListingDocument doc;
    if (!ParseListingDocument(xml, doc, &out.parseReason)) {
        out.status = ImportOutcome::Status::ParseError;
        return out;
    }
    if (!doc.hasJob) {
        out.status = ImportOutcome::Status::NoJobs;
        return out;
    }
    out.cutTexts = doc.cutTexts;
    for (qsizetype i = 0; i < doc.projects.size(); ++i) {
        if (stop && stop()) {
            out.notImported = int(doc.projects.size() - i);
            break;
        }
        const ListingProject& p = doc.projects[i];
        if (p.hasProjectElement && p.projectFieldCount > 0) {
            bool ok = false;
            const int jobId = p.field(QStringLiteral("Job_ID")).trimmed().toInt(&ok);
            if (!ok || jobId <= 0) {
                out.skipped << describe(
                    p, QCoreApplication::translate("brevant::server::ListingImport",
                                                   "no valid project number"));
            } else {
                try {
                    if (InsertListingProject(p, jobId, connection))
                        ++out.imported;
                    else
                        out.skipped << describe(
                            p, QCoreApplication::translate("brevant::server::ListingImport",
                                                           "already in the local database"));
                } catch (const db::DbError& e) {
                    out.skipped << describe(p, e.condition() == db::Condition::ConnectionLost
                                                   ? store::lostUnitText(connection, {jobId})
                                                   : e.description());
                }
            }
        }
        if (yield)
            yield();
    }
    return out;
}

QString SkippedProjectsText(const QStringList& skipped) {
    return QCoreApplication::translate(
               "brevant::server::ListingImport",
               "These projects were not imported:\r\n%1\r\n\r\nThe others were imported ...")
        .arg(skipped.join(QStringLiteral("\r\n")));
}

QString ImportedStatusText(const ImportOutcome& outcome) {
    QString text = store::countText(
        outcome.imported,
        QCoreApplication::translate("brevant::server::ListingImport", "%1 project imported"),
        QCoreApplication::translate("brevant::server::ListingImport", "%1 projects imported"));
    if (!outcome.skipped.isEmpty())
        text += QCoreApplication::translate("brevant::server::ListingImport", ", %1 skipped")
                    .arg(outcome.skipped.size());
    if (outcome.notImported > 0)
        text += QCoreApplication::translate("brevant::server::ListingImport",
                                            " -- cancelled, %1 not imported")
                    .arg(outcome.notImported);
    return text;
}

ImportOutcome ImportListing(const QString& path, db::Connection& connection,
                            const std::function<void()>& yield, const std::function<bool()>& stop) {
    ImportOutcome out;
    QByteArray xml;
    if (!readDocumentFile(path, xml, &out.parseReason))
        out.status = ImportOutcome::Status::ParseError;
    else
        out = ImportListingData(xml, connection, yield, stop);
    xml = QByteArray();
    logCutTexts(path, out.cutTexts);
    switch (out.status) {
    case ImportOutcome::Status::ParseError:
        ui::message(QCoreApplication::translate("brevant::server::ListingImport",
                                                "Error parsing results ...\r\n") +
                        out.parseReason,
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::server::ListingImport", "System Error"));
        break;
    case ImportOutcome::Status::NoJobs:
        ui::message(
            QCoreApplication::translate("brevant::server::ListingImport", "No data was received."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::server::ListingImport", "System Message"));
        break;
    case ImportOutcome::Status::Imported:
        if (!out.skipped.isEmpty())
            ui::message(
                SkippedProjectsText(out.skipped), ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::server::ListingImport", "System Message"));
        break;
    }
    return out;
}

} // namespace brevant::server
