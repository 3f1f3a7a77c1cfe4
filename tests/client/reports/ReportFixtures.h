#pragma once
// Projects, contacts, awards and updates the report tests share: one with every field filled
// and one with the empty and Null cases.
#include "reports/ReportRecord.h"

#include <QDateTime>
#include <ostream>

// Readable failure output for texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace reporttest {

using brevant::reports::Record;

inline QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

inline Record fullProject() {
    return Record{{"Job_ID", qlonglong(4711)},
                  {"Name", "Central High School Roof"},
                  {"City", "AUSTIN"},
                  {"State", "TX"},
                  {"Building", qlonglong(1)},
                  {"Estimated Cost", 1250000.0},
                  {"Estimated Cost End", 2500000.4},
                  {"Region", qlonglong(3)},
                  {"Due_Date", at(2026, 3, 5, 14, 0, 0)},
                  {"Pre_Bid", true},
                  {"Mandatory", false},
                  {"Pre_Bid_Date", at(2026, 2, 20)},
                  {"Other", "2/25/2026"},
                  {"Description", "Replace the roof"},
                  {"Notes", "Call Bob\r\nAsk about bonds"}};
}

// A 1900 bid date, Null Building, Null and empty fields.
inline Record emptyProject() {
    return Record{{"Job_ID", qlonglong(12)},     {"Name", "Bridge"},
                  {"City", QVariant()},          {"State", "TX"},
                  {"Building", QVariant()},      {"Estimated Cost", QVariant()},
                  {"Estimated Cost End", 500.0}, {"Region", QVariant()},
                  {"Due_Date", at(1900, 1, 1)},  {"Pre_Bid", QVariant()},
                  {"Mandatory", QVariant()},     {"Pre_Bid_Date", QVariant()},
                  {"Other", QVariant()},         {"Description", ""},
                  {"Notes", QVariant()}};
}

inline Record contact(const QString& name, const QString& type, const QString& person = "Ann Lee") {
    return Record{{"Job_ID", qlonglong(4711)},
                  {"Name", name},
                  {"Contact", person},
                  {"Phone", "512-555-0100"},
                  {"Extension", "12"},
                  {"Fax", "512-555-0101"},
                  {"Address1", "1 Main St"},
                  {"Address2", "Suite 2"},
                  {"City", "AUSTIN"},
                  {"State", "TX"},
                  {"Zip", "78701"},
                  {"Type", type}};
}

} // namespace reporttest
