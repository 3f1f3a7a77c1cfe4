#pragma once
// What a project's takeoff holds: items, the marks measured for them on sheets, and each
// sheet's scale. A sheet is one page of one of the project's documents (a Plans file); the
// document's revision is the Plans row's, raised when a revised version of it arrives.
#include "takeoff/Scales.h"
#include "takeoff/Units.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QString>
#include <map>

namespace brevant::takeoff {

struct SheetKey {
    QString document; // the Plans file name
    int page = 0;     // from 0

    bool operator==(const SheetKey& o) const {
        return page == o.page && document.compare(o.document, Qt::CaseInsensitive) == 0;
    }
    bool operator<(const SheetKey& o) const {
        const int c = document.compare(o.document, Qt::CaseInsensitive);
        return c < 0 || (c == 0 && page < o.page);
    }
};
// File names compare without regard to case, as the Plans table compares them.
inline size_t qHash(const SheetKey& key, size_t seed = 0) noexcept {
    return ::qHash(key.document.toCaseFolded(), seed) ^ ::qHash(key.page, seed);
}

struct Item {
    int id = 0;
    QString name;
    Kind kind = Kind::Length;
    QString colour = QStringLiteral("#e53935"); // "#rrggbb"
    Unit unit = Unit::FeetInches;
    double wastePercent = 0;

    bool operator==(const Item&) const = default;
};

struct Mark {
    int id = 0;
    int itemId = 0;
    SheetKey sheet;
    QList<QPointF> points; // page points; a path, a polygon or one marker per point (count)
    int revision = 0;      // of the document when measured

    bool operator==(const Mark&) const = default;
};

// Bounds on what a takeoff takes, from the store as from the user.
inline constexpr int kMaxPointsPerMark = 10000;
inline constexpr int kMaxNameLength = 200;

struct TakeoffData {
    std::map<int, Item> items; // by id
    std::map<int, Mark> marks; // by id
    QHash<SheetKey, Scale> scales;
    // Current revision of each document, keyed by the case-folded file name (documents
    // without one are at 0).
    QHash<QString, int> revisions;

    int revisionOf(const QString& document) const {
        return revisions.value(document.toCaseFolded(), 0);
    }
};

// The real quantity of a mark in its item's base unit (inches, square inches, count); nullopt
// for a length or area on a sheet without a scale.
std::optional<double> markQuantity(const Mark& mark, Kind kind, const Scale& scale);

} // namespace brevant::takeoff
