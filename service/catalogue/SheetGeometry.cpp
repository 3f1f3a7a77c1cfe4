#include "service/catalogue/SheetGeometry.h"

#include "service/catalogue/DocumentPages.h"
#include "service/catalogue/Rng.h"

#include <cmath>

namespace brevant::service {

namespace {

struct Scale {
    const char* text;
    double pointsPerFoot; // 72 points an inch
};

// Architectural scales, largest first: the sheet takes the largest its building fits.
constexpr Scale kScales[] = {
    {"1/4\" = 1'-0\"", 18.0},  {"3/16\" = 1'-0\"", 13.5}, {"1/8\" = 1'-0\"", 9.0},
    {"3/32\" = 1'-0\"", 6.75}, {"1/16\" = 1'-0\"", 4.5},
};

// Room for the dimension strings above and left of the building, and for the title block,
// the sheet title and the scale below it.
constexpr double kMargin = 36, kLeftRoom = 90, kTopRoom = 100, kRightRoom = 50, kBottomRoom = 140;

// Drawn smaller than stated: what a sheet reduced for printing looks like.
constexpr double kNotToScaleFactor = 0.9;

constexpr double kDoorFeet = 3.0;

int sheetNumber(const PlanSheet& sheet) {
    return sheet.file.mid(4).toInt();
}

// Every fifth sheet, from the third on, is not drawn to its stated scale.
bool drawnNotToScale(const PlanSheet& sheet) {
    return sheetNumber(sheet) % 5 == 3;
}

} // namespace

QString feetAndInches(double feet) {
    const int inches = int(std::lround(feet * 12.0));
    return QStringLiteral("%1'-%2\"").arg(inches / 12).arg(inches % 12);
}

SheetGeometry sheetGeometry(const Project& project, const PlanSheet& sheet) {
    return sheetGeometry(project, sheet, planPageSize());
}

SheetGeometry sheetGeometry(const Project& project, const PlanSheet& sheet,
                            const QSizeF& pageSize) {
    SheetGeometry g;
    g.pageSize = pageSize;
    g.revision = sheet.revision;
    Rng rng =
        Rng::derive(0x5ee75ee7ull, std::uint64_t(project.jobId), std::uint64_t(sheetNumber(sheet)));

    // True sizes in feet, in half feet. Column 0 is always 40'-0" and row 0 25'-0": the known
    // room every sheet has. A revision widens column 1 (its rooms grow), by a different amount
    // on every revision.
    QVector<double> widths{40.0};
    for (int c = 1 + rng.range(2, 4); c > 1; --c)
        widths << rng.range(24, 64) / 2.0;
    widths[1] += 4.0 * (sheet.revision % 5);
    const QVector<double> depths{25.0, rng.range(28, 56) / 2.0};
    double widthFeet = 0, depthFeet = 0;
    for (double w : widths)
        widthFeet += w;
    for (double d : depths)
        depthFeet += d;

    const QRectF room(kMargin + kLeftRoom, kMargin + kTopRoom,
                      pageSize.width() - 2 * kMargin - kLeftRoom - kRightRoom,
                      pageSize.height() - 2 * kMargin - kTopRoom - kBottomRoom);
    const Scale* scale = &kScales[std::size(kScales) - 1];
    for (const Scale& s : kScales) {
        if (widthFeet * s.pointsPerFoot <= room.width() &&
            depthFeet * s.pointsPerFoot <= room.height()) {
            scale = &s;
            break;
        }
    }
    g.scaleText = QString::fromUtf8(scale->text);
    g.statedPointsPerFoot = scale->pointsPerFoot;
    g.trueToScale = !drawnNotToScale(sheet);
    g.pointsPerFoot = scale->pointsPerFoot * (g.trueToScale ? 1.0 : kNotToScaleFactor);
    const double ppf = g.pointsPerFoot;
    g.building = QRectF(room.left(), room.top(), widthFeet * ppf, depthFeet * ppf);

    // Column and row lines in feet from the building's top left corner.
    QVector<double> xs{0}, ys{0};
    for (double w : widths)
        xs << xs.last() + w;
    for (double d : depths)
        ys << ys.last() + d;
    auto at = [&](double xFeet, double yFeet) {
        return QPointF(g.building.left() + xFeet * ppf, g.building.top() + yFeet * ppf);
    };

    for (int r = 0; r < depths.size(); ++r) {
        for (int c = 0; c < widths.size(); ++c) {
            SheetRoom rm;
            rm.name = QStringLiteral("ROOM %1").arg(100 * (r + 1) + c + 1);
            rm.outline << at(xs[c], ys[r]) << at(xs[c + 1], ys[r]) << at(xs[c + 1], ys[r + 1])
                       << at(xs[c], ys[r + 1]);
            rm.widthFeet = widths[c];
            rm.depthFeet = depths[r];
            rm.areaSquareFeet = widths[c] * depths[r];
            g.rooms << rm;
        }
    }

    // Exterior walls, then the partitions between the columns and the one between the rows.
    g.walls << SheetWall{QLineF(at(0, 0), at(widthFeet, 0)), widthFeet, true}
            << SheetWall{QLineF(at(widthFeet, 0), at(widthFeet, depthFeet)), depthFeet, true}
            << SheetWall{QLineF(at(widthFeet, depthFeet), at(0, depthFeet)), widthFeet, true}
            << SheetWall{QLineF(at(0, depthFeet), at(0, 0)), depthFeet, true};
    for (int c = 1; c < widths.size(); ++c)
        g.walls << SheetWall{QLineF(at(xs[c], 0), at(xs[c], depthFeet)), depthFeet, false};
    g.walls << SheetWall{QLineF(at(0, ys[1]), at(widthFeet, ys[1])), widthFeet, false};

    // A door into every room through the partition between the rows (front rooms near their
    // left corner, back rooms near their right one, so no two swings meet), and the entrance
    // in the left exterior wall of the first back room.
    for (int c = 0; c < widths.size(); ++c) {
        g.doors << SheetDoor{at(xs[c] + 2, ys[1]), at(xs[c] + 2, ys[1] - kDoorFeet),
                             at(xs[c] + 2 + kDoorFeet, ys[1])};
        g.doors << SheetDoor{at(xs[c + 1] - 2, ys[1]), at(xs[c + 1] - 2, ys[1] + kDoorFeet),
                             at(xs[c + 1] - 2 - kDoorFeet, ys[1])};
    }
    g.doors << SheetDoor{at(0, ys[1] + 2), at(kDoorFeet, ys[1] + 2), at(0, ys[1] + 2 + kDoorFeet)};

    // Dimension strings: each column above the building, the whole width above them, each row
    // on the left. The first is ROOM 101's 40'-0".
    const double y1 = g.building.top() - 30, y2 = g.building.top() - 60;
    for (int c = 0; c < widths.size(); ++c) {
        const QPointF a = at(xs[c], 0), b = at(xs[c + 1], 0);
        g.dimensions << SheetDimension{QLineF(a.x(), y1, b.x(), y1), widths[c],
                                       feetAndInches(widths[c])};
    }
    g.dimensions << SheetDimension{QLineF(g.building.left(), y2, g.building.right(), y2), widthFeet,
                                   feetAndInches(widthFeet)};
    const double x1 = g.building.left() - 30;
    for (int r = 0; r < depths.size(); ++r) {
        const QPointF a = at(0, ys[r]), b = at(0, ys[r + 1]);
        g.dimensions << SheetDimension{QLineF(x1, a.y(), x1, b.y()), depths[r],
                                       feetAndInches(depths[r])};
    }
    return g;
}

} // namespace brevant::service
