#pragma once
// Units of a takeoff. Real quantities are kept in one base unit per kind, so that items in
// feet and items in metres total alike: lengths in inches, areas in square inches, counts as
// numbers. Feet-inches text is what estimators read and type: 40'-0", 12'-6 1/2", 40', 480",
// 12.5 ft; metres as 12.192 m (also cm and mm when typed).
#include <QString>
#include <QStringView>
#include <optional>

namespace brevant::takeoff {

enum class Kind { Length, Area, Count };

enum class Unit { FeetInches, Metres, SquareFeet, SquareMetres, Each };

// What a bare number means where a length is typed.
enum class LengthSystem { Imperial, Metric };

inline constexpr double kMetresPerInch = 0.0254; // exact by definition
inline constexpr double kInchesPerFoot = 12.0;

// The units an item of the kind may have; the first is its default in the imperial system.
bool unitFitsKind(Unit unit, Kind kind);
Unit defaultUnit(Kind kind, LengthSystem system);

// A base quantity (inches, square inches, count) in the unit: decimal feet for FeetInches,
// metres, square feet, square metres, count; and back.
double toUnit(double base, Unit unit);
double fromUnit(double value, Unit unit);

// Stored names ("ft-in", "m", "sq ft", "sq m", "each"): stable, never translated.
QString unitKey(Unit unit);
std::optional<Unit> unitFromKey(QStringView key);
QString kindKey(Kind kind); // "length", "area", "count"
std::optional<Kind> kindFromKey(QStringView key);

// What the user reads after a number: "ft", "m", "ft²", "m²", "ea".
QString unitSymbol(Unit unit);
QString kindName(Kind kind); // translated: "Length", "Area", "Count"

// A typed length in inches: feet and inches (40'-0", 12'-6 1/2", 12' 6", 40', 480", 6 1/2",
// 12.5 ft, 12 ft 6 in), metres (3.5 m, 350 cm, 3500 mm); a bare number is feet or metres by
// system. Nullopt for anything else, for a negative value and for a fraction over zero.
std::optional<double> parseLength(QStringView text, LengthSystem system = LengthSystem::Imperial);

// Inches as feet and inches to the nearest 1/denominator inch (a power of two up to 64):
// 40'-0", 12'-6 1/2", 0'-0 1/16"; a negative value gets a leading "-".
QString formatFeetInches(double inches, int denominator = 16);
// Inches as metres with the decimals: "12.192 m".
QString formatMetres(double inches, int decimals = 3);

// A base quantity as the unit shows it: feet-inches, "12.19 m", "1234.50 ft²", "12 ea".
QString formatQuantity(double base, Unit unit);

} // namespace brevant::takeoff
