#include "store/ProjectListCsv.h"

#include "platform/db/Connection.h"
#include "platform/db/JetDate.h"
#include "platform/db/Recordset.h"

#include <QDate>
#include <QSaveFile>

namespace brevant::store {

namespace {

// "mm/dd/yyyy" as the list shows it becomes "yyyy-mm-dd"; "No Date Set" becomes empty, so the
// column holds only dates; other texts stay as they are.
QString isoDate(const QString& shown) {
    if (shown == QLatin1String("No Date Set"))
        return {};
    const QDate d = QDate::fromString(shown, QStringLiteral("MM/dd/yyyy"));
    return d.isValid() ? d.toString(Qt::ISODate) : shown;
}

QDateTime dateOf(const QVariant& value) {
    QDateTime when;
    if (value.typeId() == QMetaType::QDateTime)
        when = value.toDateTime();
    else if (value.typeId() == QMetaType::QDate)
        when = value.toDate().startOfDay();
    else if (!value.isNull())
        when = db::fromStoredDate(value.toString());
    if (!when.isValid() || when.date().year() == 1900)
        return {};
    return when;
}

bool isTrue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed();
        return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t.toDouble() != 0;
    }
    return value.toDouble() != 0;
}

// A cost as a plain number (no currency sign or grouping) that every spreadsheet reads.
QString number(const QVariant& value) {
    bool ok = false;
    const double n = value.toDouble(&ok);
    return value.isNull() || !ok ? QString() : QString::number(n, 'f', n == qint64(n) ? 0 : 2);
}

QString yesNo(bool value) {
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

void appendRow(QByteArray& out, const QStringList& fields) {
    for (int i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

} // namespace

QByteArray CsvField(const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    const bool quote = utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') ||
                       utf8.contains('\r') || value != value.trimmed();
    if (!quote)
        return utf8;
    QByteArray out = "\"";
    out += QByteArray(utf8).replace("\"", "\"\"");
    out += '"';
    return out;
}

QString SpreadsheetText(const QString& value) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && kFormulaStarts.contains(value.front()))
        return QLatin1Char('\'') + value;
    return value;
}

std::map<int, ProjectSheetDetails> ReadSheetDetails(db::Connection& connection) {
    std::map<int, ProjectSheetDetails> out;
    db::Recordset rs;
    rs.open(QStringLiteral("Select [Job_ID], [Due_Date], [City], [State], [Building], "
                           "[Estimated Cost], [Estimated Cost End], [Tracked], [New] "
                           "from [Projects]"),
            connection);
    for (; !rs.eof(); rs.moveNext()) {
        ProjectSheetDetails d;
        d.bidDate = dateOf(rs.field(QStringLiteral("Due_Date")));
        d.city = rs.field(QStringLiteral("City")).toString();
        d.state = rs.field(QStringLiteral("State")).toString();
        d.building = isTrue(rs.field(QStringLiteral("Building")));
        d.estimatedCost = rs.field(QStringLiteral("Estimated Cost"));
        d.estimatedCostEnd = rs.field(QStringLiteral("Estimated Cost End"));
        d.tracked = isTrue(rs.field(QStringLiteral("Tracked")));
        d.isNew = isTrue(rs.field(QStringLiteral("New")));
        out[rs.field(QStringLiteral("Job_ID")).toInt()] = d;
    }
    rs.close();
    return out;
}

QStringList ProjectListCsvColumns() {
    QStringList header;
    for (const ListColumn& c : columnsOf(QStringLiteral("ListView1")))
        header << c.caption;
    return header << QStringLiteral("PROJECT NUMBER") << QStringLiteral("BID TIME")
                  << QStringLiteral("CITY") << QStringLiteral("STATE") << QStringLiteral("TYPE")
                  << QStringLiteral("ESTIMATED COST") << QStringLiteral("ESTIMATED COST END")
                  << QStringLiteral("TRACKED") << QStringLiteral("NEW");
}

QByteArray ProjectListCsv(const std::vector<ProjectRow>& rows,
                          const std::map<int, ProjectSheetDetails>& details) {
    QByteArray out = "\xEF\xBB\xBF";
    const QStringList columns = ProjectListCsvColumns();
    appendRow(out, columns);
    for (const ProjectRow& row : rows) {
        QStringList fields = {SpreadsheetText(isoDate(row.dateText)), SpreadsheetText(row.name),
                              SpreadsheetText(row.assignment), QString::number(row.jobId)};
        const auto found = details.find(row.jobId);
        if (found != details.end()) {
            const ProjectSheetDetails& d = found->second;
            const bool timed = d.bidDate.isValid() && d.bidDate.time() != QTime(0, 0);
            fields << (timed ? d.bidDate.time().toString(QStringLiteral("HH:mm")) : QString())
                   << SpreadsheetText(d.city) << SpreadsheetText(d.state)
                   << (d.building ? QStringLiteral("BUILDING CONSTRUCTION")
                                  : QStringLiteral("HEAVY CONSTRUCTION"))
                   << number(d.estimatedCost) << number(d.estimatedCostEnd) << yesNo(d.tracked)
                   << yesNo(d.isNew);
        }
        while (fields.size() < columns.size())
            fields << QString();
        appendRow(out, fields);
    }
    return out;
}

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace brevant::store
