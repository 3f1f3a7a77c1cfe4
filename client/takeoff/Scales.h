#pragma once
// The scale of a sheet: how much real length one length on the paper stands for. Pages are
// measured in PDF points (72 to the inch), so a stated scale maps points to real length from
// the page's physical size alone; a calibrated one comes from a known dimension on the sheet.
// Real lengths are inches (Units.h).
#include <QList>
#include <QPointF>
#include <QString>
#include <optional>

namespace brevant::takeoff {

inline constexpr double kPointsPerInch = 72.0;

enum class ScaleFamily { Architectural, Engineering, Metric, Calibrated };

struct Scale {
    QString label;    // "1/4\" = 1'-0\"", "1\" = 20'", "1:100", or the calibration's text
    double ratio = 0; // real length over paper length; 0 is no scale
    ScaleFamily family = ScaleFamily::Calibrated;

    bool isSet() const { return ratio > 0; }
    bool operator==(const Scale&) const = default;
};

// The usual stated scales: architectural 1/16" = 1'-0" to 3" = 1'-0", engineering 1" = 10' to
// 1" = 100', metric 1:1 to 1:1000, each list from the smallest drawing to the largest.
const QList<Scale>& statedScales();
// The stated scale with the label (as statedScales() spells it, blanks ignored).
std::optional<Scale> statedScale(QStringView label);

// Real inches of a length in points, and real square inches of an area in square points.
// Multiplied before divided, so that whole ratios give exact results for exact input.
inline double realLength(double points, double ratio) {
    return points * ratio / kPointsPerInch;
}
inline double realArea(double squarePoints, double ratio) {
    return squarePoints * ratio * ratio / (kPointsPerInch * kPointsPerInch);
}

// The scale that makes the line from a to b (points) as long as realInches; nullopt when the
// two points are the same or the length is not above zero. The label names the known length.
std::optional<Scale> calibrate(QPointF a, QPointF b, double realInches, const QString& label = {});

// What a sheet without a scale says when a length or area is begun on it.
QString noScaleHint();

// The real length of a line under the scale, recording nothing (the verify tool); nullopt
// without a scale.
std::optional<double> verifyLength(QPointF a, QPointF b, const Scale& scale);

} // namespace brevant::takeoff
