#pragma once
// The takeoff as a spreadsheet file: CSV (RFC 4180) in UTF-8 with a byte-order mark, CRLF line
// ends, one row per item and sheet: item, kind, sheet, quantity, unit, waste, total.
#include "takeoff/TakeoffData.h"
#include "takeoff/Totals.h"

#include <QByteArray>
#include <functional>

namespace brevant::takeoff {

// How a sheet is named in the file; the default names the document and its page from 1
// ("A-101.pdf page 2"). The viewer passes the sheet names of the plan set.
using SheetNamer = std::function<QString(const SheetKey&)>;
QString defaultSheetName(const SheetKey& sheet);

// Quantities are plain numbers in the item's unit (feet-inches as decimal feet, two decimals;
// counts whole), waste a percentage, total the quantity with waste. An item without marks has
// one row with no sheet and 0. Texts that a spreadsheet would read as a formula (starting with
// =, +, -, @, a tab or a CR) get a leading "'".
QByteArray takeoffCsv(const TakeoffData& data, const Totals& totals,
                      const SheetNamer& sheetName = defaultSheetName);

// Writes the file beside the old one and swaps it in only when complete; false with the
// reason in *error otherwise.
bool writeTakeoffCsv(const QString& path, const QByteArray& csv, QString* error);

} // namespace brevant::takeoff
