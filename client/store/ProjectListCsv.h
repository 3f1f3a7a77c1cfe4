#pragma once
// The project list as a spreadsheet file: CSV (RFC 4180) in UTF-8 with the list's columns, in
// the list's order.
#include "store/ProjectList.h"

#include <QByteArray>
#include <QString>

namespace brevant::store {

// One field: quoted when it holds a comma, a quote, a line break or leading/trailing blanks,
// with quotes doubled.
QByteArray CsvField(const QString& value);

// Text a spreadsheet must show as text: a value starting with "=", "+", "-", "@", a tab or a CR
// would be read as a formula (a service's project name "=HYPERLINK(...)" would become a live
// link), so such a value gets a leading "'", which spreadsheets read as "this is text".
QString SpreadsheetText(const QString& value);

// The file: a byte-order mark (so spreadsheet programs read UTF-8), a header row of the list's
// captions, then one row per project; CRLF line ends. Bid dates go out as ISO dates
// (yyyy-mm-dd), which spreadsheets read as dates in every locale; "No Date Set" stays text.
// Names and assignments go through SpreadsheetText.
QByteArray ProjectListCsv(const std::vector<ProjectRow>& rows);

// Writes data to path beside the old file and swaps it in only when complete. On failure
// returns false and sets *error to the reason.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error);

} // namespace brevant::store
