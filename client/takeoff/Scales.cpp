#include "takeoff/Scales.h"

#include "takeoff/Units.h"

#include <QCoreApplication>
#include <QLineF>
#include <cmath>

namespace brevant::takeoff {

namespace {

QList<Scale> makeStatedScales() {
    QList<Scale> out;
    // Architectural: a paper length in inches per real foot.
    const struct {
        const char* paper;
        double inches;
    } architectural[] = {{"1/16\"", 1.0 / 16}, {"3/32\"", 3.0 / 32}, {"1/8\"", 1.0 / 8},
                         {"3/16\"", 3.0 / 16}, {"1/4\"", 1.0 / 4},   {"3/8\"", 3.0 / 8},
                         {"1/2\"", 1.0 / 2},   {"3/4\"", 3.0 / 4},   {"1\"", 1.0},
                         {"1 1/2\"", 1.5},     {"3\"", 3.0}};
    for (const auto& a : architectural)
        out.append({QLatin1String(a.paper) + QStringLiteral(" = 1'-0\""), kInchesPerFoot / a.inches,
                    ScaleFamily::Architectural});
    // Engineering: real feet per paper inch.
    for (int feet : {10, 20, 30, 40, 50, 60, 100})
        out.append({QStringLiteral("1\" = %1'").arg(feet), feet * kInchesPerFoot,
                    ScaleFamily::Engineering});
    for (int n : {1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000})
        out.append({QStringLiteral("1:%1").arg(n), double(n), ScaleFamily::Metric});
    return out;
}

QString withoutBlanks(QStringView text) {
    QString out;
    for (QChar c : text)
        if (!c.isSpace())
            out += c;
    return out;
}

} // namespace

const QList<Scale>& statedScales() {
    static const QList<Scale> scales = makeStatedScales();
    return scales;
}

std::optional<Scale> statedScale(QStringView label) {
    const QString wanted = withoutBlanks(label);
    for (const Scale& s : statedScales())
        if (withoutBlanks(s.label) == wanted)
            return s;
    return std::nullopt;
}

std::optional<Scale> calibrate(QPointF a, QPointF b, double realInches, const QString& label) {
    const double points = QLineF(a, b).length();
    if (!(points > 0) || !(realInches > 0) || !std::isfinite(realInches) || !std::isfinite(points))
        return std::nullopt;
    Scale s;
    s.ratio = realInches * kPointsPerInch / points;
    s.family = ScaleFamily::Calibrated;
    s.label = label.isEmpty()
                  ? QCoreApplication::translate("brevant::takeoff::Scales", "Calibrated (%1)")
                        .arg(formatFeetInches(realInches))
                  : label;
    return s;
}

QString noScaleHint() {
    return QCoreApplication::translate("brevant::takeoff::Scales",
                                       "This sheet has no scale yet: choose its scale or "
                                       "calibrate it before measuring lengths or areas. Counts "
                                       "need no scale.");
}

std::optional<double> verifyLength(QPointF a, QPointF b, const Scale& scale) {
    if (!scale.isSet())
        return std::nullopt;
    return realLength(QLineF(a, b).length(), scale.ratio);
}

} // namespace brevant::takeoff
