#include "platform/db/JetLexer.h"

#include "platform/db/DbError.h"

namespace brevant::db {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

[[noreturn]] void fail(const QString& what) {
    throw DbError(errors::CommandError, QStringLiteral("Syntax error: %1.").arg(what));
}

} // namespace

std::vector<JetToken> tokenizeJet(const QString& sql) {
    std::vector<JetToken> out;
    const qsizetype n = sql.size();
    out.reserve(size_t(n / 4));
    // Tokens point into sql instead of copying it: thousands of statements a second are
    // tokenized, and a copy per token was most of the cost.
    const auto slice = [&sql](qsizetype from, qsizetype length) {
        return QString::fromRawData(sql.constData() + from, length);
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (isWordStart(c)) {
            qsizetype j = i + 1;
            while (j < n && isWordChar(sql[j]))
                ++j;
            out.push_back({JetToken::Word, slice(i, j - i)});
            i = j;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && sql[j].isDigit())
                ++j;
            if (j < n && sql[j] == QLatin1Char('.')) {
                ++j;
                while (j < n && sql[j].isDigit())
                    ++j;
            }
            if (j < n && (sql[j] == QLatin1Char('e') || sql[j] == QLatin1Char('E'))) {
                qsizetype k = j + 1;
                if (k < n && (sql[k] == QLatin1Char('+') || sql[k] == QLatin1Char('-')))
                    ++k;
                if (k < n && sql[k].isDigit()) {
                    j = k;
                    while (j < n && sql[j].isDigit())
                        ++j;
                }
            }
            if (j < n && isWordStart(sql[j]))
                fail(QStringLiteral("malformed number near '%1'").arg(sql.mid(i, j - i + 1)));
            out.push_back({JetToken::Number, slice(i, j - i)});
            i = j;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Jet takes both quote characters as string delimiters; a doubled one is literal.
            // Only a text with a doubled quote needs a copy of its own.
            QString text;
            bool doubled = false;
            qsizetype j = i + 1;
            for (;;) {
                if (j >= n)
                    fail(QStringLiteral("unterminated text literal"));
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        if (!doubled)
                            text = sql.mid(i + 1, j - i - 1);
                        doubled = true;
                        text += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                if (doubled)
                    text += sql[j];
                ++j;
            }
            if (!doubled)
                text = slice(i + 1, j - i - 1);
            out.push_back({JetToken::String, text});
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const qsizetype close = sql.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                fail(QStringLiteral("missing ']'"));
            const QString name = slice(i + 1, close - i - 1);
            if (name.trimmed().isEmpty())
                fail(QStringLiteral("empty name '[]'"));
            out.push_back({JetToken::Name, name});
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('#')) {
            const qsizetype close = sql.indexOf(QLatin1Char('#'), i + 1);
            if (close < 0)
                fail(QStringLiteral("unterminated date literal"));
            out.push_back({JetToken::Date, slice(i + 1, close - i - 1).trimmed()});
            i = close + 1;
            continue;
        }
        const QChar next = i + 1 < sql.size() ? sql[i + 1] : QChar();
        if ((c == QLatin1Char('<') && (next == QLatin1Char('>') || next == QLatin1Char('='))) ||
            ((c == QLatin1Char('>') || c == QLatin1Char('!')) && next == QLatin1Char('='))) {
            out.push_back(
                {JetToken::Symbol, c == QLatin1Char('!') ? QStringLiteral("<>") : slice(i, 2)});
            i += 2;
            continue;
        }
        if (QStringLiteral("(),.*=<>+-/&;").contains(c)) {
            out.push_back({JetToken::Symbol, slice(i, 1)});
            ++i;
            continue;
        }
        fail(QStringLiteral("unexpected character '%1'").arg(c));
    }
    return out;
}

} // namespace brevant::db
