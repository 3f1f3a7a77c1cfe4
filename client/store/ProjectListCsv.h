#pragma once
// The project list as a spreadsheet file: CSV (RFC 4180) in UTF-8, the list's columns first
// (as callers and saved sheets expect them), then what a spreadsheet user sorts and filters on.
#include "store/ProjectList.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <map>

namespace brevant::store {

// One field: quoted when it holds a comma, a quote, a line break or leading/trailing blanks,
// with quotes doubled.
QByteArray CsvField(const QString& value);

// Text a spreadsheet must show as text: a value starting with "=", "+", "-", "@", a tab or a CR
// would be read as a formula (a service's project name "=HYPERLINK(...)" would become a live
// link), so such a value gets a leading "'", which spreadsheets read as "this is text".
QString SpreadsheetText(const QString& value);

// What the file tells of a project beyond the list's own columns, from its Projects row.
struct ProjectSheetDetails {
    QDateTime bidDate; // invalid when no date is set (none, or a day of 1900)
    QString city;
    QString state;
    bool building = false;     // TYPE: building or heavy construction
    QVariant estimatedCost;    // Null when unknown
    QVariant estimatedCostEnd; // Null when unknown
    bool tracked = false;
    bool isNew = false;
};

// The details of every stored project by Job_ID, read with one query. Throws db::DbError.
std::map<int, ProjectSheetDetails> ReadSheetDetails(db::Connection& connection);

// The captions of the file's columns: the list's "BID DATE", "TITLE", "ASSIGN", then
// "PROJECT NUMBER", "BID TIME", "CITY", "STATE", "TYPE", "ESTIMATED COST",
// "ESTIMATED COST END", "TRACKED", "NEW".
QStringList ProjectListCsvColumns();

// The file: a byte-order mark (so spreadsheet programs read UTF-8), a header row, then one row
// per project in the list's order; CRLF line ends. Bid dates go out as ISO dates (yyyy-mm-dd)
// and times as hh:mm, which spreadsheets read as dates and times in every locale; a project
// with no date set (or no time: midnight) leaves them empty. Costs are plain numbers, TRACKED
// and NEW "Yes" or "No". Texts go through SpreadsheetText. A row without details (a project
// deleted meanwhile) has the list's columns and its number only.
QByteArray ProjectListCsv(const std::vector<ProjectRow>& rows,
                          const std::map<int, ProjectSheetDetails>& details);

// Writes data to path beside the old file and swaps it in only when complete. On failure
// returns false and sets *error to the reason.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error);

} // namespace brevant::store
