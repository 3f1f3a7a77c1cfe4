#pragma once
// A Desktop.mdb of its own for each update test, hand-written update documents for the edge
// cases, and readers for what the merge left behind.
#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "server/ProjectDocument.h"
#include "server/UpdateMerge.h"

#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Readable failure output for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace brevant::server::test {

// One attribute list entry of a hand-written element.
using Attrs = QList<QPair<QString, QString>>;

inline QString element(const QString& tag, const Attrs& attrs) {
    QString s = "<" + tag;
    for (const auto& [name, value] : attrs)
        s += " " + name + "=\"" + value.toHtmlEscaped() + "\"";
    return s + "/>";
}

// The project element: every field with a plain default, overridden by fields.
inline QString projectFields(int id, const QMap<QString, QString>& fields = {}) {
    const QList<QPair<QString, QString>> defaults = {
        {"Job_ID", QString::number(id)},
        {"City", "Springfield"},
        {"State", "il"},
        {"Due_Date", "3/1/2027 2:00:00 PM"},
        {"Name", "Roof Replacement"},
        {"Description", "Replace the roof"},
        {"Estimated_Cost", "100000"},
        {"Estimated_Cost_End", "200000"},
        {"Other", "bond 5%"},
        {"Bins", "b12"},
        {"Addendum", ""},
        {"Pre_Bid", "1"},
        {"Mandatory", "0"},
        {"Pre_Bid_Date", "2/15/2027 10:00:00 AM"},
        {"Building", "1"},
        {"Region", "3"},
    };
    QString s = "<Project>";
    for (const auto& [name, value] : defaults) {
        if (fields.contains(name) && fields.value(name) == "<missing>")
            continue;
        s += "<" + name + ">" + fields.value(name, value).toHtmlEscaped() + "</" + name + ">";
    }
    return s + "</Project>";
}

struct JobXml {
    QString idAttribute; // the Job element's first attribute
    QString project;     // the project element, whole
    QStringList specs, plans, contacts, awards;
};

inline QString jobXml(const JobXml& j) {
    QString s = "<Job Job_ID=\"" + j.idAttribute.toHtmlEscaped() + "\">" + j.project;
    s += "<Specs>" + j.specs.join("") + "</Specs>";
    s += "<Plans>" + j.plans.join("") + "</Plans>";
    s += "<Contacts>" + j.contacts.join("") + "</Contacts>";
    s += "<Awards>" + j.awards.join("") + "</Awards>";
    return s + "</Job>";
}

inline QByteArray updateDocument(const QStringList& jobs) {
    return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>" + jobs.join("") + "</Jobs>")
        .toUtf8();
}

inline QString spec(const QString& section, const QString& description) {
    return element("Spec", {{"Name", section}, {"Description", description}});
}
inline QString plan(const QString& file, const QString& description, const QString& size) {
    return element("Plan", {{"Name", file}, {"Description", description}, {"Size", size}});
}
inline QString contact(const QString& name, const QString& type, const QString& phone = "555-0100",
                       const QString& fax = "555-0101") {
    return element("Contact", {{"Name", name},
                               {"Contact", "pat smith"},
                               {"Phone", phone},
                               {"Extension", "12"},
                               {"Fax", fax},
                               {"Address1", "1 main st"},
                               {"Address2", ""},
                               {"City", "springfield"},
                               {"State", "il"},
                               {"Zip", "62701"},
                               {"Type", type}});
}
inline QString award(const QString& name, const QString& bid, const QString& fax,
                     const QString& extension, const QString& awarded) {
    return element("Award", {{"Name", name},
                             {"Contact", "lee jones"},
                             {"Phone", "555-0199"},
                             {"Comments", "low bid"},
                             {"Bid", bid},
                             {"Fax", fax},
                             {"Extension", extension},
                             {"Email", "lee@example.com"},
                             {"Award", awarded}});
}

// "What|old|new" per Change_History row of the project, oldest first.
inline QStringList historyRows(db::Connection& c, int id) {
    db::Recordset rs;
    rs.open(QString("Select What, Old_Value, New_Value from [Change_History] where [JobID] = %1 "
                    "ORDER BY Change_ID")
                .arg(id),
            c);
    QStringList out;
    while (!rs.eof()) {
        out << rs.field(0).toString() + "|" + rs.field(1).toString() + "|" + rs.field(2).toString();
        rs.moveNext();
    }
    return out;
}

class UpdateDb : public ::testing::Test {
protected:
    void SetUp() override {
        file = stores.create(dir.filePath("Desktop.mdb"));
        c.open(file);
    }

    // A stored project as an import of projectFields(id) leaves it.
    void storeProject(int id, const QString& due = "3/1/2027 2:00:00 PM",
                      const QString& description = "Replace the roof") {
        c.execute(QString("INSERT INTO Projects (Job_ID, City, [State], Due_Date, [Name], "
                          "[Description], [Estimated Cost], [Estimated Cost End], [Other], Bins, "
                          "Addendum, Pre_Bid, Mandatory, Pre_Bid_Date, Building, [Region], "
                          "[New], [Tracked]) VALUES (%1, 'SPRINGFIELD', 'IL', '%2', "
                          "'ROOF REPLACEMENT', '%3', 100000, 200000, 'BOND 5%', 'B12', NULL, 1, "
                          "0, '2/15/2027 10:00:00 AM', 1, 3, TRUE, FALSE)")
                      .arg(id)
                      .arg(due, description));
    }

    MergeSummary merge(const QByteArray& xml, const MergeHooks& hooks = {}) {
        const ReadResult r = readProjectDocument(xml);
        EXPECT_TRUE(r.document.has_value()) << r.error.toStdString();
        if (!r.document)
            return {};
        return mergeUpdateDocument(c, *r.document, now, hooks);
    }

    QStringList column(const QString& sql) {
        db::Recordset rs;
        rs.open(sql, c);
        QStringList out;
        while (!rs.eof()) {
            out << (rs.field(0).isNull() ? QString("<null>") : rs.field(0).toString());
            rs.moveNext();
        }
        return out;
    }

    QVariant value(const QString& sql) {
        db::Recordset rs;
        rs.open(sql, c);
        return rs.eof() ? QVariant() : rs.field(0);
    }

    QStringList updates(int id) {
        return column(QString("Select [Update] from [Updates] where [JobID] = %1").arg(id));
    }

    QStringList history(int id) { return historyRows(c, id); }

    QTemporaryDir dir;
    teststore::TestStores stores;
    QString file; // the store's locator
    db::Connection c;
    QDateTime now{QDate(2027, 3, 2), QTime(7, 30)};
};

} // namespace brevant::server::test
