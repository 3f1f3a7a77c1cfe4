// Statements are built by long + chains; the builder makes each one allocation.
#define QT_USE_QSTRINGBUILDER
#include "server/UpdateMerge.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/JetDate.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/Recordset.h"
#include "reports/ReportFormat.h"
#include "reports/ReportRecord.h"
#include "server/StoredRows.h"
#include "store/LostUnit.h"
#include "store/SqlValue.h"

#include <QCoreApplication>

namespace brevant::server {

using store::SqlEscape;
using store::SqlValue;

namespace {

enum class FieldKind { Text, UpperText, Number, Date };

struct ProjectField {
    const char* element; // child of the project element
    const char* target;  // as the UPDATE names it
    const char* column;  // as the row reads back
    FieldKind kind;
};

// The project fields in the order the UPDATE writes them.
constexpr ProjectField kFields[] = {
    {"City", "City", "City", FieldKind::UpperText},
    {"State", "[State]", "State", FieldKind::UpperText},
    {"Due_Date", "Due_Date", "Due_Date", FieldKind::Date},
    {"Name", "[Name]", "Name", FieldKind::UpperText},
    {"Description", "[Description]", "Description", FieldKind::Text},
    {"Estimated_Cost", "[Estimated Cost]", "Estimated Cost", FieldKind::Number},
    {"Estimated_Cost_End", "[Estimated Cost End]", "Estimated Cost End", FieldKind::Number},
    {"Other", "[Other]", "Other", FieldKind::UpperText},
    {"Bins", "[Bins]", "Bins", FieldKind::UpperText},
    {"Addendum", "Addendum", "Addendum", FieldKind::UpperText},
    {"Pre_Bid", "Pre_Bid", "Pre_Bid", FieldKind::Number},
    {"Mandatory", "Mandatory", "Mandatory", FieldKind::Number},
    {"Pre_Bid_Date", "Pre_Bid_Date", "Pre_Bid_Date", FieldKind::Date},
    {"Building", "Building", "Building", FieldKind::Number},
    {"Region", "Region", "Region", FieldKind::Number},
};

QString text(const QString& value) {
    return SqlValue(value, false);
}

// A date value as the history shows it: "No Date Set" for the year 1900.
QString historyValue(const QVariant& value) {
    if (db::isNoDateSet(value))
        return QStringLiteral("No Date Set");
    return reports::ValueText(value);
}

QString dateLogText(const QDateTime& value) {
    if (value.date().year() == 1900)
        return QStringLiteral("No Date Set");
    return reports::DefaultDateText(QDateTime(value.date(), QTime(0, 0)));
}

std::optional<int> toInt32(const QString& s) {
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// A problem that ends the merge of one project; what was written is rolled back.
struct ProjectSkipped {
    QString reason;
};

class ProjectMerge {
public:
    ProjectMerge(db::Connection& c, const DocumentProject& p, const QDateTime& now,
                 const MergeHooks& hooks, QList<MergeProblem>& problems)
        : c_(c), project_(p), now_(now), hooks_(hooks), problems_(problems),
          finder_(SqlValue(c.estimator(), false)) {}

    // The project's number: the Job_ID field when the project element has fields, else the
    // Job element's first attribute.
    std::optional<int> identify() {
        const DocumentPart& fields = project_.part(0);
        if (fields.hasChildren()) {
            if (const DocumentEntry* e = fields.find(QStringLiteral("Job_ID"))) {
                label_ = e->text.trimmed();
                return toInt32(e->text);
            }
        }
        if (project_.attributes.isEmpty())
            return std::nullopt;
        label_ = project_.attributes.first().second.trimmed();
        return toInt32(project_.attributes.first().second);
    }

    QString label() const { return label_; }

    ProjectMergeOutcome run(int id) {
        id_ = QString::number(id);
        outcome_.jobId = id;
        db::Recordset rs;
        rs.open("Select * from [Projects] where [Job_ID] = " + id_, c_);
        if (rs.eof())
            throw ProjectSkipped{QCoreApplication::translate(
                "brevant::server::UpdateMerge", "not stored on this computer; skipped")};
        const reports::Record before = reports::CurrentRecord(rs);

        // Only this estimator's earlier findings give way: another's check may have found
        // what this one, coming after it, cannot find again.
        exec("Delete * from [Updates] where [JOBID] = " + id_ + " AND ([Found_By] = " + finder_ +
             " OR [Found_By] IS NULL)");
        const DocumentPart& fields = project_.part(0);
        if (fields.hasChildren()) {
            compareBidDate(fields, before.value(QStringLiteral("Due_Date")));
            updateFields(fields);
            rs.open("Select * from [Projects] where [Job_ID] = " + id_, c_);
            recordFieldChanges(before, reports::CurrentRecord(rs));
        }
        if (hasEntries(1)) {
            specs_.load(c_, "Select [Spec], [Description] from Specs where JobID=" + id_, 1);
            for (const DocumentEntry& e : project_.part(1).entries) {
                if (e.hasAttributes())
                    mergeSpecification(e);
            }
        }
        if (hasEntries(2)) {
            sheets_.load(c_, "Select [File], [Revision] from Plans where JobID=" + id_, 1);
            for (const DocumentEntry& e : project_.part(2).entries) {
                if (e.hasAttributes())
                    mergePlanSheet(e);
            }
        }
        if (hasEntries(3)) {
            contacts_.load(c_,
                           "Select [Name], [Type], [Contact], Phone, Extension, Fax, Address1, "
                           "Address2, City, [State], [Zip] from Contacts where Job_ID=" +
                               id_,
                           2);
            for (const DocumentEntry& e : project_.part(3).entries) {
                if (e.hasAttributes())
                    mergeContact(e);
            }
        }
        for (const DocumentEntry& e : project_.part(4).entries) {
            if (e.hasAttributes())
                mergeAward(e);
        }
        return outcome_;
    }

private:
    bool hasEntries(int part) const {
        for (const DocumentEntry& e : project_.part(part).entries) {
            if (e.hasAttributes())
                return true;
        }
        return false;
    }

    int exec(const QString& sql) {
        const int n = c_.execute(sql);
        if (hooks_.afterStatement)
            hooks_.afterStatement();
        return n;
    }

    void note(const QString& reason) { problems_.append({label_, reason}); }

    void log(const QString& update) {
        exec("INSERT INTO Updates ( JobID, [Update], Added, Found_By ) Values (" + id_ + ",'" +
             SqlEscape(update) + "','" + now_.date().toString(Qt::ISODate) + "'," + finder_ + ")");
        outcome_.logged.append(update);
        outcome_.changed = true;
    }

    void history(const QString& what, const QString& oldValue, const QString& newValue) {
        exec("INSERT INTO Change_History (JobID, Found, What, Old_Value, New_Value, Found_By) "
             "VALUES (" +
             id_ + "," + text(now_.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) + "," +
             text(what) + "," + text(oldValue) + "," + text(newValue) + "," + finder_ + ")");
    }

    // A date field's received text when it may be written; nullopt leaves the field as stored.
    std::optional<QString> dateValue(const DocumentEntry& e) {
        const QString value = e.text.trimmed();
        if (value.isEmpty() || db::toStoredDate(value))
            return value;
        note(QCoreApplication::translate("brevant::server::UpdateMerge",
                                         "%1 \"%2\" is not a date; kept as stored")
                 .arg(e.name, value));
        return std::nullopt;
    }

    void compareBidDate(const DocumentPart& fields, const QVariant& stored) {
        const DocumentEntry* e = fields.find(QStringLiteral("Due_Date"));
        if (!e || stored.isNull())
            return;
        const auto received = db::toStoredDate(e->text.trimmed());
        if (!received)
            return; // empty, or reported when the field is written
        const QDateTime now = db::fromStoredDate(*received);
        const QDateTime old = reports::DateOf(stored);
        if (old.isValid() && old.date() == now.date() && old.time() == now.time())
            return;
        log("BID DATE CHANGED FROM " + (old.isValid() ? dateLogText(old) : stored.toString()) +
            " TO " + dateLogText(now));
        outcome_.changedBidDate = e->text.trimmed();
    }

    void updateFields(const DocumentPart& fields) {
        QStringList set;
        QStringList missing;
        for (const ProjectField& f : kFields) {
            const QString element = QString::fromLatin1(f.element);
            const DocumentEntry* e = fields.find(element);
            if (!e) {
                missing.append(element);
                continue;
            }
            const QString target = QString::fromLatin1(f.target);
            switch (f.kind) {
            case FieldKind::Text:
                set.append(target + "=" + text(e->text));
                break;
            case FieldKind::UpperText:
                set.append(target + "=" + text(e->text.toUpper()));
                break;
            case FieldKind::Number:
                set.append(target + "=" + numberLiteral(e->text.trimmed()));
                break;
            case FieldKind::Date:
                if (const auto value = dateValue(*e))
                    set.append(value->isEmpty() ? QString(target + "=NULL")
                                                : QString(target + "=#" + *value + "#"));
                break;
            }
        }
        if (!missing.isEmpty())
            note("no " + missing.join(QStringLiteral(", ")) + " in the document; kept as stored");
        if (!set.isEmpty())
            exec("UPDATE [Projects] SET " + set.join(QStringLiteral(", ")) +
                 " WHERE Job_ID=" + id_);
    }

    void recordFieldChanges(const reports::Record& before, const reports::Record& after) {
        for (const ProjectField& f : kFields) {
            const QString column = QString::fromLatin1(f.column);
            const QString oldValue = historyValue(before.value(column));
            const QString newValue = historyValue(after.value(column));
            if (oldValue != newValue) {
                history(column, oldValue, newValue);
                ++outcome_.fieldsChanged;
            }
        }
    }

    void mergeSpecification(const DocumentEntry& e) {
        const QString section = e.attribute(QStringLiteral("Name")).toUpper();
        const QString description = e.attribute(QStringLiteral("Description")).toUpper();
        if (section.isEmpty()) {
            note(QCoreApplication::translate("brevant::server::UpdateMerge",
                                             "a specification without a section; left out"));
            return;
        }
        if (specs_.unchanged({section}, {description}))
            return;
        const int updated = exec("UPDATE Specs SET Description =" + text(description) +
                                 " WHERE JobID=" + id_ + " AND [Spec] = " + text(section));
        if (updated > 0) {
            specs_.updated({section}, {description});
            return;
        }
        exec("INSERT INTO Specs (JobID, Spec, Description) VALUES (" + id_ + "," + text(section) +
             "," + text(description) + ")");
        specs_.inserted({section}, {description});
        log("SPECIFICATION ADDED - NEW VALUE: " + section + " - " + description);
        history(QStringLiteral("SPECIFICATION"), {}, section + " - " + description);
    }

    // The sheet's revision as sent: nullopt when absent (a service that knows none) or not a
    // number from 0 up (noted, and the sheet merged as if it had none).
    std::optional<int> sheetRevision(const DocumentEntry& e, const QString& file) {
        const QString received = e.attribute(QStringLiteral("Revision")).trimmed();
        if (received.isEmpty())
            return std::nullopt;
        const std::optional<int> revision = toInt32(received);
        if (!revision || *revision < 0) {
            note(QCoreApplication::translate("brevant::server::UpdateMerge",
                                             "plan sheet %1: revision \"%2\" is not a number; "
                                             "kept as stored")
                     .arg(file, received));
            return std::nullopt;
        }
        return revision;
    }

    void mergePlanSheet(const DocumentEntry& e) {
        const QString file = e.attribute(QStringLiteral("Name")).toUpper();
        const QString description = e.attribute(QStringLiteral("Description")).toUpper();
        if (file.isEmpty()) {
            note(QCoreApplication::translate("brevant::server::UpdateMerge",
                                             "a plan sheet without a file name; left out"));
            return;
        }
        const std::optional<int> revision = sheetRevision(e, file);
        const QString size = numberLiteral(e.attribute(QStringLiteral("Size")).trimmed());
        // A sheet already stored is refused by the Plans key; that is how a new one is told
        // from an old one. Any other failure ends the project.
        const QString columns =
            revision ? QStringLiteral("[Size], Revision") : QStringLiteral("[Size]");
        const QString values = revision ? QString(size + "," + QString::number(*revision)) : size;
        // A sheet stored under exactly this name would be refused: no need to ask the store.
        if (const std::optional<QVariantList> stored = sheets_.exact({file})) {
            if (revision && *revision > 0)
                mergeSheetRevision(file, description, size, *revision, stored->value(0).toInt());
            return;
        }
        const std::optional<int> added = c_.executeUnlessDuplicate(
            "INSERT INTO Plans (JobID, File, Description, " + columns + ") VALUES (" + id_ + "," +
            text(file) + "," + text(description) + "," + values + ")");
        if (hooks_.afterStatement)
            hooks_.afterStatement();
        if (added && *added > 0) {
            sheets_.inserted({file}, {revision ? QString::number(*revision) : QString()});
            log("PLAN PAGE ADDED: " + description);
            history(QStringLiteral("PLAN PAGE"), {}, file + " - " + description);
            return;
        }
        if (revision && *revision > 0)
            mergeSheetRevision(file, description, size, *revision);
    }

    // A stored sheet the service sends in a later revision: its revision is raised (so takeoff
    // measurements made on the earlier one read as stale) and its cached page no longer counts
    // as cached, since the file in the cache is the earlier drawing.
    void mergeSheetRevision(const QString& file, const QString& description, const QString& size,
                            int revision, std::optional<int> known = std::nullopt) {
        const QString where = " WHERE JobID=" + id_ + " AND File=" + text(file);
        int stored = 0;
        if (known) {
            stored = *known;
        } else {
            db::Recordset rs;
            rs.open("Select Revision from Plans" + where, c_);
            if (rs.eof())
                return;
            stored = rs.field(QStringLiteral("Revision")).toInt();
        }
        if (stored >= revision)
            return;
        exec("UPDATE Plans SET Revision=" + QString::number(revision) + ", [Size]=" + size +
             ", [Local]=0" + where);
        sheets_.updated({file}, {QString::number(revision)});
        log("PLAN PAGE REVISED: " + description);
        auto value = [&](int r) -> QString {
            return file + " - " + description + " (REVISION " + QString::number(r) + ")";
        };
        history(QStringLiteral("PLAN PAGE"), value(stored), value(revision));
        outcome_.revisedSheets.append(file);
    }

    void mergeContact(const DocumentEntry& e) {
        auto upper = [&](const char* name) {
            return e.attribute(QString::fromLatin1(name)).toUpper();
        };
        auto plain = [&](const char* name) { return e.attribute(QString::fromLatin1(name)); };
        const QStringList key{upper("Name"), upper("Type")};
        // In the order of the UPDATE's columns and of the rows StoredRows read.
        const QStringList received{upper("Contact"), plain("Phone"),    plain("Extension"),
                                   plain("Fax"),     upper("Address1"), upper("Address2"),
                                   upper("City"),    upper("State"),    plain("Zip")};
        if (contacts_.unchanged(key, received))
            return;
        const QString name = text(key[0]), type = text(key[1]), contact = text(received[0]),
                      phone = text(received[1]), extension = text(received[2]),
                      fax = text(received[3]), address1 = text(received[4]),
                      address2 = text(received[5]), city = text(received[6]),
                      state = text(received[7]), zip = text(received[8]);
        const int updated =
            exec("UPDATE Contacts SET [Contact]=" + contact + ", Phone=" + phone + ", Extension=" +
                 extension + ", Fax=" + fax + ", Address1=" + address1 + ", Address2=" + address2 +
                 ", City=" + city + ", [State]=" + state + ", [Zip]=" + zip +
                 " WHERE Job_ID=" + id_ + " AND [Name]=" + name + " AND [Type]=" + type);
        if (updated > 0) {
            contacts_.updated(key, received);
            return;
        }
        exec("INSERT INTO Contacts (Job_ID, Name, Contact, Phone, Extension, Fax, Address1, "
             "Address2, City, [State], Zip, [Type]) VALUES (" +
             id_ + "," + name + "," + contact + "," + phone + "," + extension + "," + fax + "," +
             address1 + "," + address2 + "," + city + "," + state + "," + zip + "," + type + ")");
        contacts_.inserted(key, received);
        const QString entry = key[0] + " - " + reports::ContactTypeName(plain("Type"));
        log("CONTACT ADDED - NEW VALUE: " + entry);
        history(QStringLiteral("CONTACT"), {}, entry);
    }

    void mergeAward(const DocumentEntry& e) {
        const QString receivedName = e.attribute(QStringLiteral("Name"));
        const QString name = text(receivedName);
        const QString contact = text(e.attribute(QStringLiteral("Contact")).toUpper());
        const QString phone = text(e.attribute(QStringLiteral("Phone")));
        const QString comment = text(e.attribute(QStringLiteral("Comments")));
        const QString email = text(e.attribute(QStringLiteral("Email")));
        const QString bid = numberLiteral(e.attribute(QStringLiteral("Bid")).trimmed());
        const QString fax = numberLiteral(e.attribute(QStringLiteral("Fax")).trimmed());
        const QString extension = numberLiteral(e.attribute(QStringLiteral("Extension")).trimmed());
        const QString awardText = e.attribute(QStringLiteral("Award")).trimmed();
        const bool hasAward = !awardText.isEmpty();
        if (!hasAward)
            note("no Award value for " + receivedName + "; kept as stored");
        const QString award = numberLiteral(awardText);
        const int updated =
            exec("UPDATE [Awards] SET [Contact]=" + contact + ", [Phone]=" + phone +
                 ", [Name] =" + name + ", [Comment] =" + comment +
                 (hasAward ? ", [Awarded] =" + award : QString()) + ", [Bid] =" + bid +
                 ", [Fax] =" + fax + ", [Extension] =" + extension + ", [Email] =" + email +
                 " WHERE [JobID]=" + id_ + " AND [Name] =" + name);
        if (updated > 0)
            return;
        exec("INSERT INTO Awards (JobID, [Name], [Contact], [Phone], [Comment], [Bid], [Awarded], "
             "[Fax], [Extension], [Email]) VALUES (" +
             id_ + "," + text(receivedName.toUpper()) + "," + contact + "," + phone + "," +
             comment + "," + bid + "," + award + "," + fax + "," + extension + "," + email + ")");
        log("AWARDS / LOW BIDDER(S) ADDED - " + receivedName);
        history(QStringLiteral("AWARD"), {}, receivedName);
    }

    db::Connection& c_;
    const DocumentProject& project_;
    const QDateTime& now_;
    const MergeHooks& hooks_;
    QList<MergeProblem>& problems_;
    const QString finder_; // SQL literal of who runs this check
    QString id_;
    QString label_;
    ProjectMergeOutcome outcome_;
    StoredRows specs_;
    StoredRows sheets_;
    StoredRows contacts_;
};

} // namespace

QString numberLiteral(const QString& value) {
    return SqlValue(value, store::IsPlainDecimal(value));
}

MergeSummary mergeUpdateDocument(db::Connection& connection, const ProjectDocument& document,
                                 const QDateTime& now, const MergeHooks& hooks) {
    MergeSummary summary;
    db::upgradeDesktopSchema(connection);
    int position = 0;
    for (const DocumentProject& project : document.projects) {
        if (hooks.stop && hooks.stop()) {
            summary.notMerged = int(document.projects.size()) - position;
            break;
        }
        ++position;
        QList<MergeProblem> notes;
        ProjectMerge merge(connection, project, now, hooks, notes);
        const std::optional<int> id = merge.identify();
        if (!id) {
            summary.problems.append(
                {merge.label().isEmpty()
                     ? QCoreApplication::translate("brevant::server::UpdateMerge",
                                                   "#%1 of the document")
                           .arg(position)
                     : merge.label(),
                 QCoreApplication::translate("brevant::server::UpdateMerge",
                                             "no valid project number; skipped")});
        } else {
            try {
                // The project's lock comes first: two estimators merging the same project
                // would otherwise both find a section missing and both add it (and its line
                // of history). A retried unit starts again from what it reads.
                ProjectMergeOutcome outcome;
                db::runProjectUnit(connection, *id, [&] {
                    notes.clear();
                    ProjectMerge attempt(connection, project, now, hooks, notes);
                    attempt.identify();
                    outcome = attempt.run(*id);
                });
                summary.problems.append(notes);
                summary.merged.push_back(outcome);
                if (hooks.projectMerged)
                    hooks.projectMerged(summary.merged.back());
            } catch (const ProjectSkipped& skipped) {
                summary.problems.append({merge.label(), skipped.reason});
            } catch (const db::DbError& e) {
                // A lost connection may have come after the commit: "nothing changed" would
                // be a guess.
                summary.problems.append(
                    {merge.label(),
                     e.condition() == db::Condition::ConnectionLost
                         ? store::lostUnitText(connection, {*id})
                         : QCoreApplication::translate("brevant::server::UpdateMerge",
                                                       "could not be stored (%1 %2); nothing "
                                                       "changed")
                               .arg(e.number())
                               .arg(e.description())});
            }
        }
        if (hooks.yield)
            hooks.yield();
    }
    return summary;
}

std::vector<int> changedProjects(const MergeSummary& summary) {
    std::vector<int> ids;
    for (const ProjectMergeOutcome& o : summary.merged) {
        if (o.changed || o.fieldsChanged > 0)
            ids.push_back(o.jobId);
    }
    return ids;
}

QString mergeProblemsText(const QList<MergeProblem>& problems) {
    if (problems.isEmpty())
        return {};
    QString s = QCoreApplication::translate("brevant::server::UpdateMerge",
                                            "Some of the update could not be applied ...");
    for (const MergeProblem& p : problems)
        s += "\r\n" + QCoreApplication::translate("brevant::server::UpdateMerge", "Project %1: %2")
                          .arg(p.project, p.reason);
    return s;
}

} // namespace brevant::server
