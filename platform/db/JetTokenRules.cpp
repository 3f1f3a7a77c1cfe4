// The token-level rules the translator applies: statement tokens, constants, column
// references and the bound value of a literal.
#include "platform/db/JetTokenRules.h"

#include "platform/db/DbError.h"
#include "platform/db/JetDate.h"

#include <optional>

namespace brevant::db::jet {

namespace {

// Length of a constant string at i ('text' or chr(n)), and its value; 0 when there is none.
int constantStringAt(const Tokens& t, size_t i, QString* value) {
    if (i >= t.size())
        return 0;
    if (t[i].kind == JetToken::String) {
        *value = t[i].text;
        return 1;
    }
    if (t[i].isWord("chr") && i + 3 < t.size() && t[i + 1].isSymbol("(") &&
        t[i + 2].kind == JetToken::Number && t[i + 3].isSymbol(")")) {
        bool ok = false;
        const uint code = t[i + 2].text.toUInt(&ok);
        if (!ok || code == 0 || code > 0x10FFFF)
            return 0;
        *value = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        return 4;
    }
    return 0;
}

// Folds runs of constant strings joined by '&' (the quoting of '|') into one literal.
Tokens foldConcatenation(const Tokens& in) {
    Tokens out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        QString value;
        int len = constantStringAt(in, i, &value);
        if (len == 0) {
            out.push_back(in[i++]);
            continue;
        }
        size_t j = i + len;
        for (;;) {
            QString next;
            if (j < in.size() && in[j].isSymbol("&")) {
                if (int l = constantStringAt(in, j + 1, &next)) {
                    value += next;
                    j += 1 + l;
                    continue;
                }
            }
            break;
        }
        out.push_back({JetToken::String, value});
        i = j;
    }
    return out;
}

QVariant numberValue(const QString& text) {
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (ok)
        return n;
    return text.toDouble();
}

std::optional<int> yesNoOfText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on") ||
        t == QLatin1String("-1") || t == QLatin1String("1"))
        return 1;
    if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("off") ||
        t == QLatin1String("0"))
        return 0;
    return std::nullopt;
}

} // namespace

void fail(const QString& text) {
    throw DbError(errors::CommandError, text);
}

bool isIdent(const JetToken& t) {
    return t.kind == JetToken::Word || t.kind == JetToken::Name;
}

size_t columnRefAt(const Tokens& t, size_t i, QString* qualifier, QString* column) {
    if (i >= t.size() || !isIdent(t[i]))
        return 0;
    if (i + 2 < t.size() && t[i + 1].isSymbol(".") && isIdent(t[i + 2])) {
        *qualifier = t[i].text;
        *column = t[i + 2].text;
        return i + 3;
    }
    qualifier->clear();
    *column = t[i].text;
    return i + 1;
}

int constantAt(const Tokens& t, size_t i) {
    if (i >= t.size())
        return 0;
    switch (t[i].kind) {
    case JetToken::String:
    case JetToken::Number:
    case JetToken::Date:
        return 1;
    case JetToken::Word:
        return (t[i].isWord("true") || t[i].isWord("false") || t[i].isWord("yes") ||
                t[i].isWord("no") || t[i].isWord("null"))
                   ? 1
                   : 0;
    case JetToken::Symbol:
        return (t[i].isSymbol("-") && i + 1 < t.size() && t[i + 1].kind == JetToken::Number) ? 2
                                                                                             : 0;
    default:
        return 0;
    }
}

bool isComparison(const JetToken& t) {
    return t.kind == JetToken::Symbol &&
           (t.text == QLatin1String("=") || t.text == QLatin1String("<>") ||
            t.text == QLatin1String("<") || t.text == QLatin1String(">") ||
            t.text == QLatin1String("<=") || t.text == QLatin1String(">="));
}

Tokens statementTokens(const QString& sql) {
    Tokens tokens = tokenizeJet(sql);
    while (!tokens.empty() && tokens.back().isSymbol(";"))
        tokens.pop_back();
    for (const auto& tok : tokens) {
        if (tok.isSymbol(";"))
            fail(QStringLiteral("Characters found after end of SQL statement."));
    }
    if (tokens.empty())
        fail(QStringLiteral("Empty SQL statement."));
    // Most statements join no texts; they keep their tokens as they are.
    for (const JetToken& t : tokens) {
        if (t.isSymbol("&"))
            return foldConcatenation(tokens);
    }
    return tokens;
}

bool isLiteral(const JetToken& t) {
    return t.kind == JetToken::String || t.kind == JetToken::Number || t.kind == JetToken::Date;
}

QVariant literalValue(const JetToken& t, ColumnKind kind) {
    switch (t.kind) {
    case JetToken::Number:
        if (kind == ColumnKind::YesNo)
            return qlonglong(numberValue(t.text).toDouble() != 0.0 ? 1 : 0);
        return numberValue(t.text);
    case JetToken::Date: {
        const auto stored = toStoredDate(t.text);
        if (!stored)
            fail(QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(t.text));
        return *stored;
    }
    default:
        if (kind == ColumnKind::Date) {
            if (const auto stored = toStoredDate(t.text))
                return *stored;
        } else if (kind == ColumnKind::YesNo) {
            if (const auto yn = yesNoOfText(t.text))
                return qlonglong(*yn);
        }
        // A copy of its own: the token points into the statement, which the result outlives.
        return QString(t.text.constData(), t.text.size());
    }
}

} // namespace brevant::db::jet
