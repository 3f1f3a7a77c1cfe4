#pragma once
// Internal to the translator: the rules it applies to single tokens and short runs of them.
#include "platform/db/JetLexer.h"
#include "platform/db/JetTranslator.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace brevant::db::jet {

using Tokens = std::vector<JetToken>;

// Throws DbError (CommandError).
[[noreturn]] void fail(const QString& text);

bool isIdent(const JetToken& t);
bool isLiteral(const JetToken& t);
bool isComparison(const JetToken& t);

// A column reference at i: name or qualifier.name. Returns the index after it, 0 if none.
size_t columnRefAt(const Tokens& t, size_t i, QString* qualifier, QString* column);

// Length of a constant value at i: a literal, a signed number, TRUE/FALSE/NULL; 0 if none.
int constantAt(const Tokens& t, size_t i);

// The statement's tokens with the trailing ';' dropped and constant strings joined.
Tokens statementTokens(const QString& sql);

// The bound value of a literal that takes the kind of the column it meets (Other: none).
QVariant literalValue(const JetToken& t, ColumnKind kind);

} // namespace brevant::db::jet
