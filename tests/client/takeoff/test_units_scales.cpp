// Units, scales and geometry: what a typed length means, how a measured one is written, and
// how page points become real lengths and areas.
#include "takeoff/Geometry.h"
#include "takeoff/Scales.h"
#include "takeoff/Units.h"

#include <QLineF>
#include <gtest/gtest.h>

using namespace brevant::takeoff;

namespace {

double parsed(const char* text, LengthSystem system = LengthSystem::Imperial) {
    const auto v = parseLength(QString::fromUtf8(text), system);
    return v ? *v : -1;
}

} // namespace

TEST(Units, FeetAndInchesAreReadInEveryUsualSpelling) {
    EXPECT_EQ(parsed("40'-0\""), 480);
    EXPECT_EQ(parsed("12'-6 1/2\""), 150.5);
    EXPECT_EQ(parsed("12' 6\""), 150);
    EXPECT_EQ(parsed("12'6"), 150);
    EXPECT_EQ(parsed("40'"), 480);
    EXPECT_EQ(parsed("480\""), 480);
    EXPECT_EQ(parsed("6 1/2\""), 6.5);
    EXPECT_EQ(parsed("6-1/2\""), 6.5);
    EXPECT_EQ(parsed("3/4\""), 0.75);
    EXPECT_EQ(parsed("12.5 ft"), 150);
    EXPECT_EQ(parsed("12 ft 6 in"), 150);
    EXPECT_EQ(parsed("12 FT"), 144);
    EXPECT_EQ(parsed(" 40\u2032-0\u2033 "), 480);                      // prime and double prime
    EXPECT_EQ(parsed("40"), 480);                                      // a bare number is feet ...
    EXPECT_DOUBLE_EQ(parsed("40", LengthSystem::Metric), 40 / 0.0254); // ... or metres
    EXPECT_DOUBLE_EQ(parsed("12.192 m"), 480);
    EXPECT_DOUBLE_EQ(parsed("1219.2 cm"), 480);
    EXPECT_DOUBLE_EQ(parsed("12192mm"), 480);
}

TEST(Units, TextThatIsNoLengthIsRefused) {
    for (const char* bad : {"", "ft", "'", "\"", "-3'", "-3\"", "12'-6 1/0\"", "1/2", "12 m 3",
                            "twelve feet", "12'-6\" 3", "1e3 ft", "nan m", "3.5.1 m", "5 yd"})
        EXPECT_FALSE(parseLength(QString::fromUtf8(bad))) << bad;
}

TEST(Units, FeetAndInchesAreWrittenToTheSixteenth) {
    EXPECT_EQ(formatFeetInches(480), QString::fromUtf8("40'-0\""));
    EXPECT_EQ(formatFeetInches(150.5), QString::fromUtf8("12'-6 1/2\""));
    EXPECT_EQ(formatFeetInches(0.0625), QString::fromUtf8("0'-0 1/16\""));
    EXPECT_EQ(formatFeetInches(143.99), QString::fromUtf8("12'-0\"")); // rounds up into a foot
    EXPECT_EQ(formatFeetInches(-150.5), QString::fromUtf8("-12'-6 1/2\""));
    EXPECT_EQ(formatFeetInches(150.3, 4), QString::fromUtf8("12'-6 1/4\""));
    EXPECT_EQ(formatMetres(480), QStringLiteral("12.192 m"));
}

TEST(Units, EveryWrittenLengthReadsBackTheSame) {
    // Every sixteenth up to 3 feet, then steps over a long range: the written text is read
    // back to the value it was written from (exact: sixteenths are exact binary fractions).
    for (int sixteenths = 0; sixteenths < 3 * 12 * 16; ++sixteenths) {
        const double inches = sixteenths / 16.0;
        const auto back = parseLength(formatFeetInches(inches));
        ASSERT_TRUE(back) << formatFeetInches(inches).toStdString();
        EXPECT_EQ(*back, inches) << formatFeetInches(inches).toStdString();
    }
    for (double inches = 0; inches < 100000; inches += 77.3125) {
        EXPECT_EQ(parseLength(formatFeetInches(inches)).value_or(-1), inches);
        const auto metres = parseLength(formatMetres(inches, 4));
        ASSERT_TRUE(metres);
        EXPECT_NEAR(*metres * kMetresPerInch, inches * kMetresPerInch, 0.00005 + 1e-9);
    }
}

TEST(Units, EveryUnitConvertsThereAndBack) {
    for (Unit u :
         {Unit::FeetInches, Unit::Metres, Unit::SquareFeet, Unit::SquareMetres, Unit::Each})
        for (double v : {0.0, 1.0, 0.0625, 12.0, 480.0, 1234.5678, 1e7})
            EXPECT_NEAR(fromUnit(toUnit(v, u), u), v, 1e-12 * std::max(1.0, v))
                << unitKey(u).toStdString() << ' ' << v;
    EXPECT_DOUBLE_EQ(toUnit(480, Unit::FeetInches), 40);
    EXPECT_DOUBLE_EQ(toUnit(480, Unit::Metres), 12.192);
    EXPECT_DOUBLE_EQ(toUnit(144, Unit::SquareFeet), 1);
    EXPECT_DOUBLE_EQ(toUnit(1 / (0.0254 * 0.0254), Unit::SquareMetres), 1);
    // Feet to metres and back, as a user switching an item's unit does.
    for (double feet : {1.0, 3.28084, 40.0, 12.5416667, 5280.0})
        EXPECT_NEAR(
            toUnit(fromUnit(toUnit(fromUnit(feet, Unit::FeetInches), Unit::Metres), Unit::Metres),
                   Unit::FeetInches),
            feet, 1e-12 * feet);
    for (Unit u :
         {Unit::FeetInches, Unit::Metres, Unit::SquareFeet, Unit::SquareMetres, Unit::Each})
        EXPECT_EQ(unitFromKey(unitKey(u)), u);
    for (Kind k : {Kind::Length, Kind::Area, Kind::Count}) {
        EXPECT_EQ(kindFromKey(kindKey(k)), k);
        EXPECT_TRUE(unitFitsKind(defaultUnit(k, LengthSystem::Imperial), k));
        EXPECT_TRUE(unitFitsKind(defaultUnit(k, LengthSystem::Metric), k));
    }
    EXPECT_FALSE(unitFitsKind(Unit::SquareFeet, Kind::Length));
    EXPECT_FALSE(unitFromKey(u"yards"));
}

TEST(Scales, StatedScalesMapPointsExactly) {
    // A 40'-0" wall drawn at 1/4" = 1'-0" is 10 paper inches, 720 points.
    const auto quarter = statedScale(u"1/4\" = 1'-0\"");
    ASSERT_TRUE(quarter);
    EXPECT_EQ(realLength(720, quarter->ratio), 480);
    const struct {
        const char* label;
        double pointsFor40Feet;
    } cases[] = {{"1/16\"=1'-0\"", 180},   {"3/32\" = 1'-0\"", 270}, {"1/8\" = 1'-0\"", 360},
                 {"3/16\" = 1'-0\"", 540}, {"1/2\" = 1'-0\"", 1440}, {"3\" = 1'-0\"", 8640},
                 {"1\" = 10'", 288},       {"1\" = 20'", 144},       {"1\" = 100'", 28.8}};
    for (const auto& c : cases) {
        const auto s = statedScale(QString::fromUtf8(c.label));
        ASSERT_TRUE(s) << c.label;
        EXPECT_DOUBLE_EQ(realLength(c.pointsFor40Feet, s->ratio), 480) << c.label;
    }
    // 1:100: one paper inch (72 points) is 100 real inches; a 10 m wall is 7.2 paper cm.
    const auto metric = statedScale(u"1:100");
    ASSERT_TRUE(metric);
    EXPECT_EQ(realLength(72, metric->ratio), 100);
    EXPECT_NEAR(realLength(100 / 2.54 * 72 / 10, metric->ratio) * kMetresPerInch, 10.0, 1e-12);
    // A room of 20' x 30' at 1/8" = 1'-0": 180 x 270 points, 600 square feet exactly.
    const auto eighth = statedScale(u"1/8\" = 1'-0\"");
    EXPECT_EQ(toUnit(realArea(180.0 * 270.0, eighth->ratio), Unit::SquareFeet), 600);
    EXPECT_FALSE(statedScale(u"1/5\" = 1'-0\""));
    EXPECT_EQ(statedScales().size(), 11 + 7 + 12);
}

TEST(Scales, ACalibratedFortyFootWallIsWithinAQuarterPercent) {
    // A 30'-0" dimension string at 1/4" = 1'-0" (540 points) is clicked a quarter point off at
    // each end, the worst way (short), then a 40'-0" wall (720 points) the worst other way.
    const QPointF dimA(100.25, 300), dimB(639.75, 300);
    const auto s = calibrate(dimA, dimB, parseLength(u"30'-0\"").value());
    ASSERT_TRUE(s);
    const double wall = realLength(polylineLength({{99.75, 500}, {820.25, 500}}), s->ratio);
    EXPECT_NEAR(wall, 480, 480 * 0.0025);
    EXPECT_GT(std::fabs(wall - 480), 0.1); // the clicks were off: not exact by accident
    // Exact clicks give the exact length; a sloped dimension calibrates as well as a level one.
    const auto exact = calibrate({0, 0}, {324, 432}, 540 * 48.0 / 72);
    ASSERT_TRUE(exact);
    EXPECT_NEAR(realLength(720, exact->ratio), 480, 1e-9);
    EXPECT_EQ(verifyLength({0, 0}, {0, 720}, *exact).value_or(0), realLength(720, exact->ratio));
}

TEST(Scales, CalibrationAndVerifyRefuseWhatCannotBeMeasured) {
    EXPECT_FALSE(calibrate({5, 5}, {5, 5}, 480));
    EXPECT_FALSE(calibrate({0, 0}, {100, 0}, 0));
    EXPECT_FALSE(calibrate({0, 0}, {100, 0}, -12));
    EXPECT_FALSE(calibrate({0, 0}, {100, 0}, std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(verifyLength({0, 0}, {100, 0}, Scale{}));
    const auto s = calibrate({0, 0}, {100, 0}, 480);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->label.contains(QString::fromUtf8("40'-0\""))) << s->label.toStdString();
}

TEST(Geometry, LengthsAreaAndPerimeterOfExactInputAreExact) {
    const QList<QPointF> room = {{100, 100}, {280, 100}, {280, 370}, {100, 370}};
    EXPECT_EQ(polygonArea(room), 180.0 * 270.0);
    EXPECT_EQ(polygonPerimeter(room), 2 * (180.0 + 270.0));
    // Clockwise or not, and an L-shaped room (concave): 20x10 minus 10x5.
    QList<QPointF> reversed(room.rbegin(), room.rend());
    EXPECT_EQ(polygonArea(reversed), 180.0 * 270.0);
    EXPECT_EQ(polygonArea({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 5}, {0, 5}}), 150);
    // Far out on a large sheet (36" x 24" is 2592 x 1728 points) nothing is lost.
    EXPECT_EQ(polygonArea({{2500.5, 1700.25}, {2590.5, 1700.25}, {2590.5, 1727.25}}),
              90.0 * 27.0 / 2);
    EXPECT_EQ(polylineLength({{0, 0}, {30, 40}, {30, 100}}), 50 + 60);
    EXPECT_EQ(polylineLength({{1, 1}}), 0);
    EXPECT_EQ(polygonArea({{0, 0}, {10, 0}}), 0);
}

TEST(Geometry, OrthoSnapsToTheNearerAxisOfThePreviousPoint) {
    EXPECT_EQ(orthoSnap({10, 10}, {50, 14}), QPointF(50, 10));
    EXPECT_EQ(orthoSnap({10, 10}, {13, -40}), QPointF(10, -40));
    EXPECT_EQ(orthoSnap({10, 10}, {-30, 12}), QPointF(-30, 10));
    EXPECT_EQ(orthoSnap({10, 10}, {10, 10}), QPointF(10, 10));
}

TEST(Geometry, DistancesAndInsideForPickingAMark) {
    const QList<QPointF> path = {{0, 0}, {100, 0}, {100, 50}};
    EXPECT_EQ(distanceToPolyline(path, {50, 3}), 3);
    EXPECT_EQ(distanceToPolyline(path, {104, 25}), 4);
    EXPECT_EQ(distanceToPolyline(path, {-3, -4}), 5); // beyond the first end
    EXPECT_EQ(distanceToPolyline({{7, 7}}, {10, 11}), 5);
    EXPECT_EQ(distanceToPolyline({{7, 7}, {7, 7}}, {10, 11}), 5); // a segment of no length
    const QList<QPointF> ell = {{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 5}, {0, 5}};
    EXPECT_TRUE(polygonContains(ell, {5, 2}));
    EXPECT_TRUE(polygonContains(ell, {15, 8}));
    EXPECT_FALSE(polygonContains(ell, {5, 8})); // the notch of the L
    EXPECT_FALSE(polygonContains(ell, {25, 2}));
    EXPECT_FALSE(polygonContains({}, {0, 0}));
}
