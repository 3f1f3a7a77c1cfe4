#include "documents/DocumentLists.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "store/ProjectList.h"

#include <QCoreApplication>

namespace brevant::documents {

namespace {

QString text(const db::Recordset& rs, const char* field) {
    const QVariant v = rs.field(QString::fromLatin1(field));
    return v.isNull() ? QString() : v.toString();
}

int iconOf(const db::Recordset& rs) {
    const QVariant local = rs.field(QStringLiteral("local"));
    return !local.isNull() && local.toBool() ? CachedIcon : NotCachedIcon;
}

void addSpecRows(db::Connection& connection, const QString& sql, const QString& kind,
                 std::vector<DocumentRow>& rows) {
    db::Recordset rs;
    rs.open(sql, connection);
    while (!rs.eof()) {
        DocumentRow row;
        row.text = text(rs, "Spec");
        row.subItem = text(rs, "Description");
        row.tag = row.text;
        row.key = QStringLiteral("S") + kind + row.text;
        row.icon = iconOf(rs);
        rows.push_back(std::move(row));
        rs.moveNext();
    }
    rs.close();
}

} // namespace

QString documentCountText(int list, qint64 count) {
    switch (list) {
    case PlanList:
        return store::countText(
            count, QCoreApplication::translate("brevant::documents::DocumentLists", "%1 sheet"),
            QCoreApplication::translate("brevant::documents::DocumentLists", "%1 sheets"));
    case SpecList:
        return store::countText(
            count, QCoreApplication::translate("brevant::documents::DocumentLists", "%1 section"),
            QCoreApplication::translate("brevant::documents::DocumentLists", "%1 sections"));
    default:
        return store::countText(
            count, QCoreApplication::translate("brevant::documents::DocumentLists", "%1 addendum"),
            QCoreApplication::translate("brevant::documents::DocumentLists", "%1 addenda"));
    }
}

int documentListOfKind(const QString& kind) {
    if (kind.compare(QLatin1String("PLANS"), Qt::CaseInsensitive) == 0)
        return PlanList;
    if (kind.compare(QLatin1String("SPECS"), Qt::CaseInsensitive) == 0)
        return SpecList;
    if (kind.compare(QLatin1String("ADD"), Qt::CaseInsensitive) == 0)
        return AddendaList;
    return -1;
}

std::optional<std::vector<DocumentRow>> LoadDocumentList(db::Connection& connection, int jobId,
                                                         const QString& kind) {
    const int list = documentListOfKind(kind);
    if (list < 0)
        return std::nullopt;
    const QString job = QString::number(jobId);
    // The key carries the kind as the caller wrote it.
    std::vector<DocumentRow> rows;
    if (list == PlanList) {
        db::Recordset rs;
        rs.open(QStringLiteral("Select Description, File, [local], [Size] FROM [Plans] where "
                               "[JobID] = ") +
                    job,
                connection);
        while (!rs.eof()) {
            DocumentRow row;
            row.text = text(rs, "Description");
            row.tag = text(rs, "File");
            row.key = QStringLiteral("P") + kind + row.text + QLatin1Char('|') + text(rs, "Size");
            row.icon = iconOf(rs);
            rows.push_back(std::move(row));
            rs.moveNext();
        }
        rs.close();
        return rows;
    }
    const QString head =
        QStringLiteral("Select Spec, Description, [local] FROM [Specs] where [JobID] = ") + job;
    if (list == SpecList) {
        addSpecRows(connection,
                    head + QStringLiteral(" AND left([Spec],3) = 'TOC' ORDER BY [Spec]"), kind,
                    rows);
        addSpecRows(connection,
                    head + QStringLiteral(" AND left([Spec],3) <> 'ADD'  AND left([Spec],3) <> "
                                          "'TOC' ORDER BY [Spec]"),
                    kind, rows);
    } else {
        addSpecRows(connection,
                    head + QStringLiteral(" AND left([Spec],3) = 'ADD' ORDER BY [Spec]"), kind,
                    rows);
    }
    return rows;
}

std::vector<int> listsOfClass(const QString& documentClass) {
    if (documentClass == QLatin1String("PLAN"))
        return {PlanList};
    if (documentClass == QLatin1String("SPEC"))
        return {SpecList};
    if (documentClass == QLatin1String("ADD"))
        return {AddendaList};
    return {PlanList, SpecList, AddendaList};
}

QString BuildDocumentSelection(DocumentViews& views, std::optional<int> selectedJobId,
                               const QString& documentClass) {
    if (!selectedJobId)
        return QStringLiteral("NONE");
    QString selection = QString::number(*selectedJobId) + QLatin1Char('@');
    for (int list : listsOfClass(documentClass)) {
        for (int i = 0; i < views.rowCount(list); ++i) {
            const DocumentRow row = views.row(list, i);
            if (row.checked && row.icon == NotCachedIcon) {
                switch (list) {
                case PlanList:
                    selection += QStringLiteral("PLN~") + row.tag;
                    break;
                case SpecList:
                    selection += QStringLiteral("SPC~") + row.text;
                    break;
                default:
                    selection += QStringLiteral("ADD~") + row.text;
                    break;
                }
                selection += QLatin1Char(':');
            } else {
                views.setChecked(list, i, false);
            }
        }
    }
    selection.chop(1);
    return selection;
}

bool AnyChecked(const DocumentViews& views, int list) {
    for (int i = 0; i < views.rowCount(list); ++i) {
        if (views.row(list, i).checked)
            return true;
    }
    return false;
}

void SetAllChecked(DocumentViews& views, int list, bool checked) {
    for (int i = 0; i < views.rowCount(list); ++i)
        views.setChecked(list, i, checked);
}

int findRowByTag(const DocumentViews& views, int list, const QString& tag) {
    for (int i = 0; i < views.rowCount(list); ++i) {
        if (views.row(list, i).tag.compare(tag, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace brevant::documents
