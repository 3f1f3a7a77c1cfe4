#include "takeoff/TakeoffCsv.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cmath>

namespace brevant::takeoff {

namespace {

QByteArray field(const QString& value) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    QString text = value;
    if (!text.isEmpty() && kFormulaStarts.contains(text.front()))
        text.prepend(QLatin1Char('\''));
    QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') &&
        !utf8.contains('\r') && text == text.trimmed())
        return utf8;
    return '"' + utf8.replace("\"", "\"\"") + '"';
}

void appendRow(QByteArray& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += field(fields[i]);
    }
    out += "\r\n";
}

QString amount(double base, Unit unit) {
    const double v = toUnit(base, unit);
    return unit == Unit::Each ? QString::number(std::llround(v)) : QString::number(v, 'f', 2);
}

} // namespace

QString defaultSheetName(const SheetKey& sheet) {
    return QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "%1 page %2")
        .arg(sheet.document)
        .arg(sheet.page + 1);
}

QByteArray takeoffCsv(const TakeoffData& data, const Totals& totals, const SheetNamer& sheetName) {
    QByteArray out = "\xEF\xBB\xBF";
    appendRow(out, {QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Item"),
                    QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Kind"),
                    QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Sheet"),
                    QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Quantity"),
                    QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Unit"),
                    QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Waste %"),
                    QCoreApplication::translate("brevant::takeoff::TakeoffCsv", "Total")});
    for (const auto& [id, item] : data.items) {
        const QString waste = QString::number(item.wastePercent, 'g', 6);
        bool any = false;
        for (const auto& [sheet, items] : totals.sheets) {
            const auto t = items.constFind(id);
            if (t == items.constEnd())
                continue;
            any = true;
            appendRow(out, {item.name, kindName(item.kind), sheetName(sheet),
                            amount(t->quantity, item.unit), unitSymbol(item.unit), waste,
                            amount(withWaste(t->quantity, item.wastePercent), item.unit)});
        }
        if (!any)
            appendRow(out, {item.name, kindName(item.kind), QString(), amount(0, item.unit),
                            unitSymbol(item.unit), waste, amount(0, item.unit)});
    }
    return out;
}

bool writeTakeoffCsv(const QString& path, const QByteArray& csv, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace brevant::takeoff
