#pragma once
// What a drawn plan sheet holds, in true sizes and in PDF points: the floor plan of a small
// building (a grid of rooms in two rows), its walls, its doors and the dimension strings that
// give the true lengths. The sheet is drawn from exactly this, so a test (or a takeoff) can
// measure the PDF and compare with the known sizes. Most sheets are drawn at the scale they
// state; a few are drawn smaller than they say (trueToScale false), so that only a calibration
// on a dimension string gives the right lengths. Everything follows from the project number,
// the sheet's number and its revision: a revision changes the sizes of some rooms.
#include "service/catalogue/Project.h"

#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace brevant::service {

struct SheetRoom {
    QString name;      // "ROOM 101"
    QPolygonF outline; // wall centre lines, in page points (y downwards)
    double widthFeet;  // true sizes
    double depthFeet;
    double areaSquareFeet;
};

struct SheetWall {
    QLineF line; // centre line in page points
    double lengthFeet;
    bool exterior;
};

struct SheetDimension {
    QLineF line; // from one extension line to the other, in page points
    double lengthFeet;
    QString text; // as printed: 40'-0"
};

struct SheetDoor {
    QPointF hinge;  // in page points
    QPointF open;   // the end of the leaf drawn open, square to the wall
    QPointF strike; // where the swing meets the wall again
};

struct SheetGeometry {
    QSizeF pageSize;                // points
    QString scaleText;              // as printed after "SCALE: ", e.g. 1/8" = 1'-0"
    double statedPointsPerFoot = 0; // what the printed scale says
    double pointsPerFoot = 0;       // what the drawing really is
    bool trueToScale = true;        // the two agree
    int revision = 0;
    QRectF building; // the outer wall centre lines, in page points
    QVector<SheetRoom> rooms;
    QVector<SheetWall> walls;
    QVector<SheetDoor> doors;
    QVector<SheetDimension> dimensions; // the first is the 40'-0" width of ROOM 101
};

// The geometry of the sheet on a page of pageSize points (planPageSize() for the catalogue's
// sheets; archDPageSize() for a large sheet).
SheetGeometry sheetGeometry(const Project& project, const PlanSheet& sheet);
SheetGeometry sheetGeometry(const Project& project, const PlanSheet& sheet, const QSizeF& pageSize);

// A length in feet as a dimension string writes it: 40'-0", 12'-6".
QString feetAndInches(double feet);

} // namespace brevant::service
