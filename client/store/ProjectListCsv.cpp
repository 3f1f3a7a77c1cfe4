#include "store/ProjectListCsv.h"

#include <QDate>
#include <QSaveFile>

namespace brevant::store {

namespace {

// "mm/dd/yyyy" as the list shows it becomes "yyyy-mm-dd"; other texts stay as they are.
QString isoDate(const QString& shown) {
    const QDate d = QDate::fromString(shown, QStringLiteral("MM/dd/yyyy"));
    return d.isValid() ? d.toString(Qt::ISODate) : shown;
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

QByteArray ProjectListCsv(const std::vector<ProjectRow>& rows) {
    QByteArray out = "\xEF\xBB\xBF";
    QStringList header;
    for (const ListColumn& c : columnsOf(QStringLiteral("ListView1")))
        header << c.caption;
    appendRow(out, header);
    for (const ProjectRow& row : rows)
        appendRow(out, {SpreadsheetText(isoDate(row.dateText)), SpreadsheetText(row.name),
                        SpreadsheetText(row.assignment)});
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
