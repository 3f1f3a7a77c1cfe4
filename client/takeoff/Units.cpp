#include "takeoff/Units.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>

namespace brevant::takeoff {

namespace {

constexpr double kSquareInchesPerSquareFoot = 144.0;
constexpr double kSquareMetresPerSquareInch = kMetresPerInch * kMetresPerInch;

struct UnitName {
    Unit unit;
    const char* key;
};
constexpr UnitName kUnitKeys[] = {{Unit::FeetInches, "ft-in"},
                                  {Unit::Metres, "m"},
                                  {Unit::SquareFeet, "sq ft"},
                                  {Unit::SquareMetres, "sq m"},
                                  {Unit::Each, "each"}};

struct KindName {
    Kind kind;
    const char* key;
};
constexpr KindName kKindKeys[] = {
    {Kind::Length, "length"}, {Kind::Area, "area"}, {Kind::Count, "count"}};

// Typed text with the usual look-alikes of feet and inch marks made plain, in lower case.
QString plain(QStringView text) {
    QString t = text.trimmed().toString().toLower();
    t.replace(QChar(0x2032), QLatin1Char('\'')); // prime
    t.replace(QChar(0x2019), QLatin1Char('\''));
    t.replace(QChar(0x2033), QLatin1Char('"')); // double prime
    t.replace(QChar(0x201C), QLatin1Char('"'));
    t.replace(QChar(0x201D), QLatin1Char('"'));
    t.replace(QLatin1String("''"), QLatin1String("\""));
    return t;
}

std::optional<double> number(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> metric(const QString& t) {
    static const QRegularExpression re(
        QStringLiteral(R"(^(\d+(?:\.\d*)?|\.\d+)\s*(mm|cm|m|metres?|meters?)$)"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const auto v = number(m.captured(1));
    if (!v)
        return std::nullopt;
    const QString u = m.captured(2);
    const double metres = u == QLatin1String("mm")   ? *v / 1000.0
                          : u == QLatin1String("cm") ? *v / 100.0
                                                     : *v;
    return metres / kMetresPerInch;
}

// Feet and inches: [N (' | ft | feet | foot)] [-] [N [N/D] | N/D] [" | in | inch | inches].
std::optional<double> imperial(const QString& t, LengthSystem system) {
    static const QRegularExpression re(QStringLiteral(
        R"(^(?:(\d+(?:\.\d*)?|\.\d+)\s*('|ft\.?|feet|foot))?\s*-?\s*)"
        R"((?:(?:(\d+(?:\.\d*)?|\.\d+)(?:(?:\s+|\s*-\s*)(\d+)/(\d+))?|(\d+)/(\d+))\s*)"
        R"(("|in\.?|inch|inches)?)?$)"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const bool hasFeet = m.capturedLength(2) > 0;
    const bool hasWhole = m.capturedLength(3) > 0;
    const bool hasMixed = m.capturedLength(4) > 0;
    const bool hasFraction = m.capturedLength(6) > 0;
    const bool hasInchMark = m.capturedLength(8) > 0;
    if (!hasFeet && !hasWhole && !hasFraction)
        return std::nullopt;
    double inches = 0;
    if (hasWhole)
        inches = *number(m.captured(3));
    const QString num = hasMixed ? m.captured(4) : m.captured(6);
    const QString den = hasMixed ? m.captured(5) : m.captured(7);
    if (hasMixed || hasFraction) {
        const double d = den.toDouble();
        if (d == 0)
            return std::nullopt;
        inches += num.toDouble() / d;
    }
    if (!hasFeet && !hasInchMark) {
        // A bare number (no fraction): feet or metres as the system says.
        if (hasMixed || hasFraction)
            return std::nullopt;
        return system == LengthSystem::Metric ? inches / kMetresPerInch : inches * kInchesPerFoot;
    }
    const double feet = hasFeet ? *number(m.captured(1)) : 0.0;
    return feet * kInchesPerFoot + inches;
}

} // namespace

bool unitFitsKind(Unit unit, Kind kind) {
    switch (kind) {
    case Kind::Length:
        return unit == Unit::FeetInches || unit == Unit::Metres;
    case Kind::Area:
        return unit == Unit::SquareFeet || unit == Unit::SquareMetres;
    case Kind::Count:
        return unit == Unit::Each;
    }
    return false;
}

Unit defaultUnit(Kind kind, LengthSystem system) {
    const bool metric = system == LengthSystem::Metric;
    switch (kind) {
    case Kind::Length:
        return metric ? Unit::Metres : Unit::FeetInches;
    case Kind::Area:
        return metric ? Unit::SquareMetres : Unit::SquareFeet;
    case Kind::Count:
        break;
    }
    return Unit::Each;
}

double toUnit(double base, Unit unit) {
    switch (unit) {
    case Unit::FeetInches:
        return base / kInchesPerFoot;
    case Unit::Metres:
        return base * kMetresPerInch;
    case Unit::SquareFeet:
        return base / kSquareInchesPerSquareFoot;
    case Unit::SquareMetres:
        return base * kSquareMetresPerSquareInch;
    case Unit::Each:
        break;
    }
    return base;
}

double fromUnit(double value, Unit unit) {
    switch (unit) {
    case Unit::FeetInches:
        return value * kInchesPerFoot;
    case Unit::Metres:
        return value / kMetresPerInch;
    case Unit::SquareFeet:
        return value * kSquareInchesPerSquareFoot;
    case Unit::SquareMetres:
        return value / kSquareMetresPerSquareInch;
    case Unit::Each:
        break;
    }
    return value;
}

QString unitKey(Unit unit) {
    for (const UnitName& u : kUnitKeys)
        if (u.unit == unit)
            return QLatin1String(u.key);
    return {};
}

std::optional<Unit> unitFromKey(QStringView key) {
    for (const UnitName& u : kUnitKeys)
        if (key.compare(QLatin1String(u.key), Qt::CaseInsensitive) == 0)
            return u.unit;
    return std::nullopt;
}

QString kindKey(Kind kind) {
    for (const KindName& k : kKindKeys)
        if (k.kind == kind)
            return QLatin1String(k.key);
    return {};
}

std::optional<Kind> kindFromKey(QStringView key) {
    for (const KindName& k : kKindKeys)
        if (key.compare(QLatin1String(k.key), Qt::CaseInsensitive) == 0)
            return k.kind;
    return std::nullopt;
}

QString unitSymbol(Unit unit) {
    switch (unit) {
    case Unit::FeetInches:
        return QStringLiteral("ft");
    case Unit::Metres:
        return QStringLiteral("m");
    case Unit::SquareFeet:
        return QStringLiteral("ft\u00B2");
    case Unit::SquareMetres:
        return QStringLiteral("m\u00B2");
    case Unit::Each:
        break;
    }
    return QCoreApplication::translate("brevant::takeoff::Units", "ea");
}

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Length:
        return QCoreApplication::translate("brevant::takeoff::Units", "Length");
    case Kind::Area:
        return QCoreApplication::translate("brevant::takeoff::Units", "Area");
    case Kind::Count:
        break;
    }
    return QCoreApplication::translate("brevant::takeoff::Units", "Count");
}

std::optional<double> parseLength(QStringView text, LengthSystem system) {
    const QString t = plain(text);
    if (t.isEmpty() || t.startsWith(QLatin1Char('-'))) // lengths are never negative
        return std::nullopt;
    if (auto v = metric(t))
        return v;
    return imperial(t, system);
}

QString formatFeetInches(double inches, int denominator) {
    if (denominator < 1 || denominator > 64 || (denominator & (denominator - 1)) != 0)
        denominator = 16;
    if (!std::isfinite(inches))
        return QStringLiteral("-");
    const qint64 steps = std::llround(std::fabs(inches) * denominator);
    const qint64 perFoot = qint64(kInchesPerFoot) * denominator;
    const qint64 feet = steps / perFoot;
    const qint64 rest = steps % perFoot;
    const qint64 whole = rest / denominator;
    qint64 num = rest % denominator;
    qint64 den = denominator;
    while (num && num % 2 == 0) {
        num /= 2;
        den /= 2;
    }
    QString out = steps && inches < 0 ? QStringLiteral("-") : QString();
    out += QString::number(feet) + QStringLiteral("'-") + QString::number(whole);
    if (num)
        out += QLatin1Char(' ') + QString::number(num) + QLatin1Char('/') + QString::number(den);
    return out + QLatin1Char('"');
}

QString formatMetres(double inches, int decimals) {
    return QString::number(inches * kMetresPerInch, 'f', decimals) + QStringLiteral(" m");
}

QString formatQuantity(double base, Unit unit) {
    switch (unit) {
    case Unit::FeetInches:
        return formatFeetInches(base);
    case Unit::Metres:
        return formatMetres(base, 2);
    case Unit::SquareFeet:
    case Unit::SquareMetres:
        return QString::number(toUnit(base, unit), 'f', 2) + QLatin1Char(' ') + unitSymbol(unit);
    case Unit::Each:
        break;
    }
    return QString::number(std::llround(base)) + QLatin1Char(' ') + unitSymbol(unit);
}

} // namespace brevant::takeoff
