// Column kinds by table, for the translator.
#include "platform/db/JetTranslator.h"

namespace brevant::db {

namespace {
// ASCII folds by arithmetic; the full Unicode folding is only for the rare other names.
char16_t folded(char16_t c) {
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    return QChar(c).toCaseFolded().unicode();
}
} // namespace

size_t qHash(const JetSchema::Name& name, size_t seed) noexcept {
    size_t h = seed ^ 0x9e3779b97f4a7c15ULL;
    for (QChar c : name.text)
        h = h * 31 + folded(c.unicode());
    return h;
}

bool JetSchema::Name::operator==(const Name& other) const {
    const qsizetype n = text.size();
    if (n != other.text.size())
        return false; // folding keeps the number of code units
    const QChar* a = text.constData();
    const QChar* b = other.text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i].unicode() >= 0x80 || b[i].unicode() >= 0x80)
            return text.compare(other.text, Qt::CaseInsensitive) == 0;
        if (folded(a[i].unicode()) != folded(b[i].unicode()))
            return false;
    }
    return true;
}

void JetSchema::setKind(const QString& table, const QString& column, ColumnKind kind) {
    tables_[Name{table}][Name{column}] = kind;
}

ColumnKind JetSchema::kind(const QString& table, const QString& column) const {
    auto t = tables_.constFind(Name{table});
    if (t == tables_.constEnd())
        return ColumnKind::Other;
    return t->value(Name{column}, ColumnKind::Other);
}

bool JetSchema::hasTable(const QString& table) const {
    return tables_.contains(Name{table});
}

ColumnKind JetSchema::kindOfDeclaredType(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return ColumnKind::Date;
    if (t.contains(QLatin1String("BOOL")) || t.contains(QLatin1String("YESNO")) ||
        t == QLatin1String("BIT"))
        return ColumnKind::YesNo;
    for (const char* number : {"INT", "NUM", "REAL", "FLOA", "DOUB", "DEC", "MONEY", "CURRENCY"})
        if (t.contains(QLatin1String(number)))
            return ColumnKind::Number;
    return ColumnKind::Other;
}

} // namespace brevant::db
