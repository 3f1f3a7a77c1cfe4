#include "platform/db/JetTranslator.h"

#include "platform/db/DbError.h"
#include "platform/db/JetTokenRules.h"

#include <QSet>

namespace brevant::db {

namespace {

using namespace jet;

class Translator {
public:
    Translator(Tokens tokens, const JetSchema& schema, TranslateOptions options)
        : schema_(schema), options_(options), pg_(options.dialect == Dialect::PostgreSql) {
        tokens_ = std::move(tokens);
        marks_.assign(tokens_.size(), ColumnKind::Other);
    }

    // The kind each literal was bound with, in order: with the SQLite text, all a statement
    // of the same shape needs to be bound without translating it again.
    const std::vector<ColumnKind>& literalKinds() const { return literalKinds_; }
    // False when a literal went into the text itself (ORDER BY 1), which then varies by value.
    bool reusable() const { return reusable_; }

    TranslatedStatement run() {
        TranslatedStatement result;
        const JetToken& first = tokens_.front();
        if (first.isWord("select"))
            result.verb = TranslatedStatement::Verb::Select;
        else if (first.isWord("insert"))
            result.verb = TranslatedStatement::Verb::Insert;
        else if (first.isWord("update"))
            result.verb = TranslatedStatement::Verb::Update;
        else if (first.isWord("delete"))
            result.verb = TranslatedStatement::Verb::Delete;
        else
            fail(QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', 'SELECT', "
                                "or 'UPDATE'."));
        if (result.verb == TranslatedStatement::Verb::Delete && tokens_.size() > 1 &&
            tokens_[1].isSymbol("*")) {
            tokens_.erase(tokens_.begin() + 1); // Delete * from
            marks_.pop_back();
        }
        if (result.verb == TranslatedStatement::Verb::Update)
            unqualifyAssignments();
        collectTables();
        if (result.verb == TranslatedStatement::Verb::Insert)
            markInsertValues();
        markComparisons();
        emit(result);
        if (pg_ && options_.unlessDuplicate && result.verb == TranslatedStatement::Verb::Insert)
            result.sql += " ON CONFLICT DO NOTHING";
        return result;
    }

private:
    // SQLite wants UPDATE t SET col = ..., not SET t.col = ... (copied once, not erased in
    // place, so that many assignments stay linear).
    void unqualifyAssignments() {
        size_t i = 0;
        while (i < tokens_.size() && !tokens_[i].isWord("set"))
            ++i;
        if (i >= tokens_.size())
            return;
        Tokens out;
        out.reserve(tokens_.size());
        out.insert(out.end(), tokens_.begin(),
                   tokens_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        int depth = 0;
        bool atStart = true;
        for (++i; i < tokens_.size(); ++i) {
            const JetToken& t = tokens_[i];
            if (depth == 0 && t.isWord("where"))
                break;
            if (atStart && i + 3 < tokens_.size() && isIdent(t) && tokens_[i + 1].isSymbol(".") &&
                isIdent(tokens_[i + 2]) && tokens_[i + 3].isSymbol("=")) {
                i += 2; // drop the qualifier and its dot
            }
            atStart = false;
            if (tokens_[i].isSymbol("("))
                ++depth;
            else if (tokens_[i].isSymbol(")"))
                --depth;
            else if (depth == 0 && tokens_[i].isSymbol(","))
                atStart = true;
            out.push_back(tokens_[i]);
        }
        out.insert(out.end(), tokens_.begin() + static_cast<std::ptrdiff_t>(i), tokens_.end());
        tokens_ = std::move(out);
        marks_.assign(tokens_.size(), ColumnKind::Other);
    }

    // The tables named after FROM, INTO, JOIN and UPDATE, each once and only when the schema
    // knows it (an unknown table contributes no column kinds), so that looking up a column
    // costs the same however many times a clause names its tables.
    void collectTables() {
        QSet<JetSchema::Name> seen;
        for (size_t i = 0; i + 1 < tokens_.size(); ++i) {
            const JetToken& t = tokens_[i];
            if (!(t.isWord("from") || t.isWord("into") || t.isWord("join") ||
                  (i == 0 && t.isWord("update"))))
                continue;
            size_t j = i + 1;
            while (j < tokens_.size() && isIdent(tokens_[j])) {
                const QString& table = tokens_[j].text;
                if (!seen.contains(JetSchema::Name{table})) {
                    seen.insert(JetSchema::Name{table});
                    if (schema_.hasTable(table))
                        tables_.push_back(table);
                }
                ++j;
                if (j < tokens_.size() && tokens_[j].isWord("as"))
                    j += 2; // alias
                else if (j < tokens_.size() && tokens_[j].kind == JetToken::Name)
                    ++j;
                if (j < tokens_.size() && tokens_[j].isSymbol(",") && t.isWord("from"))
                    ++j;
                else
                    break;
            }
        }
    }

    // A Date or YesNo kind from any of the tables wins over Number, which only matters for
    // ordering.
    ColumnKind kindOf(const QString& qualifier, const QString& column) const {
        if (!qualifier.isEmpty() && schema_.hasTable(qualifier))
            return schema_.kind(qualifier, column);
        ColumnKind found = ColumnKind::Other;
        for (const QString& table : tables_) {
            const ColumnKind k = schema_.kind(table, column);
            if (k == ColumnKind::Date || k == ColumnKind::YesNo)
                return k;
            if (k != ColumnKind::Other)
                found = k;
        }
        return found;
    }

    void markValue(size_t i, ColumnKind kind) {
        if (kind != ColumnKind::Other && i < marks_.size())
            marks_[i] = kind;
    }

    // INSERT INTO t (c1, c2, ...) VALUES (v1, v2, ...): a constant takes its column's kind.
    void markInsertValues() {
        size_t i = 0;
        while (i < tokens_.size() && !tokens_[i].isSymbol("("))
            ++i;
        std::vector<ColumnKind> kinds;
        for (++i; i < tokens_.size() && !tokens_[i].isSymbol(")");) {
            QString q, c;
            const size_t end = columnRefAt(tokens_, i, &q, &c);
            if (end == 0)
                return; // not the plain column list form; comparisons still apply
            kinds.push_back(kindOf(q, c));
            i = end;
            if (i < tokens_.size() && tokens_[i].isSymbol(","))
                ++i;
        }
        if (i + 2 >= tokens_.size() || !tokens_[i + 1].isWord("values") ||
            !tokens_[i + 2].isSymbol("("))
            return;
        i += 3;
        size_t column = 0;
        while (i < tokens_.size() && column < kinds.size()) {
            const size_t start = i;
            int depth = 0;
            while (i < tokens_.size()) {
                if (tokens_[i].isSymbol("("))
                    ++depth;
                else if (tokens_[i].isSymbol(")")) {
                    if (depth == 0)
                        break;
                    --depth;
                } else if (tokens_[i].isSymbol(",") && depth == 0)
                    break;
                ++i;
            }
            if (static_cast<size_t>(constantAt(tokens_, start)) == i - start)
                markValue(start, kinds[column]);
            ++column;
            if (i >= tokens_.size() || tokens_[i].isSymbol(")"))
                break;
            ++i; // the comma
        }
    }

    // column op constant, constant op column, column BETWEEN constant AND constant; also covers
    // the assignments of UPDATE ... SET column = constant.
    void markComparisons() {
        for (size_t i = 0; i < tokens_.size(); ++i) {
            QString q, c;
            const size_t end = columnRefAt(tokens_, i, &q, &c);
            if (end == 0 || end >= tokens_.size())
                continue;
            if (i > 0 && tokens_[i - 1].isSymbol("."))
                continue; // the tail of a qualified name seen already
            const ColumnKind kind = kindOf(q, c);
            if (kind == ColumnKind::Other)
                continue;
            if (isComparison(tokens_[end]) && constantAt(tokens_, end + 1)) {
                markValue(end + 1, kind);
            } else if (tokens_[end].isWord("between")) {
                const int a = constantAt(tokens_, end + 1);
                if (a && end + 1 + a < tokens_.size() && tokens_[end + 1 + a].isWord("and") &&
                    constantAt(tokens_, end + 2 + a)) {
                    markValue(end + 1, kind);
                    markValue(end + 2 + a, kind);
                }
            }
            if (i >= 2 && isComparison(tokens_[i - 1])) {
                size_t s = i - 2;
                if (s >= 1 && tokens_[s - 1].isSymbol("-") && tokens_[s].kind == JetToken::Number)
                    --s;
                if (static_cast<size_t>(constantAt(tokens_, s)) == i - 1 - s)
                    markValue(s, kind);
            }
        }
    }

    void bindParam(QString& out, const JetToken& literal, ColumnKind kind) {
        params_.push_back(literalValue(literal, kind));
        if (pg_)
            out += QLatin1Char('$') + QString::number(params_.size());
        else
            out += QLatin1Char('?');
        literalKinds_.push_back(kind);
    }

    void emitConstant(QString& out, size_t& i) {
        const JetToken& t = tokens_[i];
        const ColumnKind mark = marks_[i];
        if (t.isSymbol("-") && mark == ColumnKind::YesNo) {
            // -1 (or any non-zero) written to a yes/no column is stored as 1.
            bindParam(out, tokens_[i + 1], ColumnKind::YesNo);
            ++i;
            return;
        }
        if (t.kind == JetToken::Number && mark != ColumnKind::YesNo && inOrderBy_) {
            out += t.text; // ORDER BY 1 names a result column, not a value
            reusable_ = false;
            return;
        }
        if (isLiteral(t))
            bindParam(out, t, mark);
    }

    // A bracketed name. PostgreSQL's schema names everything in lower case (its unquoted names
    // fold to lower case by themselves), so a quoted one is folded here.
    void emitName(QString& out, const JetToken& t) const {
        const QString folded = pg_ ? t.text.toLower() : QString();
        const QString& text = pg_ ? folded : t.text;
        out += QLatin1Char('"');
        out += text.contains(QLatin1Char('"'))
                   ? QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""))
                   : text;
        out += QLatin1Char('"');
    }

    // PostgreSQL: ends the clauses that take a suffix (the LIKE pattern, the ORDER BY term)
    // before token i, which may be the end of the statement.
    void closeClauses(QString& out, size_t i, int depth) {
        const bool atEnd = i >= tokens_.size();
        const JetToken* t = atEnd ? nullptr : &tokens_[i];
        const auto ends = [&](int clauseDepth) {
            if (atEnd)
                return true;
            if (depth != clauseDepth)
                return false;
            return t->isSymbol(",") || t->isSymbol(")") || t->isWord("and") || t->isWord("or") ||
                   t->isWord("order") || t->isWord("group") || t->isWord("having") ||
                   t->isWord("union") || t->isWord("limit") || t->isWord("offset") ||
                   t->isWord("escape") || t->isWord("then") || t->isWord("else") ||
                   t->isWord("end") || t->isWord("when");
        };
        if (likeDepth_ >= 0 && ends(likeDepth_)) {
            // The pattern's explicit collation outranks the column's case-insensitive one,
            // which PostgreSQL refuses for LIKE; ILIKE keeps Jet's matching without case.
            // PostgreSQL's LIKE escapes with '\' by default; Jet's does not escape at all.
            out += QLatin1String(" COLLATE \"default\"");
            if (atEnd || !t->isWord("escape"))
                out += QLatin1String(" ESCAPE ''");
            likeDepth_ = -1;
        }
        if (orderDepth_ >= 0 && ends(orderDepth_) &&
            (atEnd || t->isSymbol(",") || t->isSymbol(")") || t->isWord("limit") ||
             t->isWord("offset") || t->isWord("union"))) {
            // SQLite puts Nulls first going up and last going down; PostgreSQL the other way.
            if (!orderTermDone_ && !orderTermNulls_)
                out +=
                    orderTermDesc_ ? QLatin1String(" NULLS LAST") : QLatin1String(" NULLS FIRST");
            if (!atEnd && t->isSymbol(","))
                startOrderTerm();
            else
                orderDepth_ = -1;
        }
    }

    void startOrderTerm() {
        orderTermStart_ = true;
        orderTermDone_ = orderTermDesc_ = orderTermNulls_ = false;
    }

    // PostgreSQL: an ORDER BY term that is only a number column (a text domain there) sorts as
    // SQLite sorts such a column: Nulls, then numbers by value, then texts. jet_number gives
    // the number a text reads as, Null for any other text. Returns false for any other term.
    bool emitNumberOrderTerm(QString& out, size_t& i) {
        QString q, c;
        const size_t end = columnRefAt(tokens_, i, &q, &c);
        if (end == 0 || kindOf(q, c) != ColumnKind::Number)
            return false;
        size_t j = end;
        const bool desc = j < tokens_.size() && tokens_[j].isWord("desc");
        if (j < tokens_.size() && (tokens_[j].isWord("asc") || desc))
            ++j;
        if (j < tokens_.size() && !tokens_[j].isSymbol(",") && !tokens_[j].isSymbol(")") &&
            !tokens_[j].isWord("limit") && !tokens_[j].isWord("offset"))
            return false;
        QString ref;
        for (size_t k = i; k < end; ++k) {
            if (tokens_[k].kind == JetToken::Name)
                emitName(ref, tokens_[k]);
            else
                ref += tokens_[k].text;
        }
        out += desc ? QStringLiteral("%1 IS NULL ASC, jet_number(%1) DESC NULLS FIRST, %1 DESC "
                                     "NULLS LAST")
                          .arg(ref)
                    : QStringLiteral("%1 IS NULL DESC, jet_number(%1) ASC NULLS LAST, %1 ASC "
                                     "NULLS FIRST")
                          .arg(ref);
        orderTermDone_ = true;
        i = j - 1;
        return true;
    }

    void emit(TranslatedStatement& result) {
        QString out;
        out.reserve(tokens_.size() * 8);
        int depth = 0;
        for (size_t i = 0; i < tokens_.size(); ++i) {
            if (pg_)
                closeClauses(out, i, depth);
            const JetToken& t = tokens_[i];
            const bool callFollows = i + 1 < tokens_.size() && tokens_[i + 1].isSymbol("(");
            if (!out.isEmpty() && !t.isSymbol(".") && !(i > 0 && tokens_[i - 1].isSymbol(".")))
                out += QLatin1Char(' ');
            if (pg_ && orderTermStart_) {
                orderTermStart_ = false;
                if (emitNumberOrderTerm(out, i))
                    continue;
            }
            if (pg_ && orderDepth_ == depth) {
                orderTermDesc_ = orderTermDesc_ || t.isWord("desc");
                orderTermNulls_ = orderTermNulls_ || t.isWord("nulls");
            }
            switch (t.kind) {
            case JetToken::Name:
                emitName(out, t);
                break;
            case JetToken::Word:
                if (t.isWord("true") || t.isWord("false")) {
                    out += t.isWord("true") ? QLatin1Char('1') : QLatin1Char('0');
                } else if ((t.isWord("yes") || t.isWord("no")) && !callFollows &&
                           !(i + 1 < tokens_.size() && tokens_[i + 1].isSymbol(".")) &&
                           !(i > 0 && tokens_[i - 1].isSymbol("."))) {
                    // Jet's other spelling of the yes/no constants.
                    out += t.isWord("yes") ? QLatin1Char('1') : QLatin1Char('0');
                } else if (callFollows && (t.isWord("left") || t.isWord("right"))) {
                    out += QLatin1String("jet_") + t.text.toLower();
                    textCall(depth);
                } else if (callFollows && t.isWord("datepart") && i + 3 < tokens_.size() &&
                           tokens_[i + 2].kind == JetToken::Word && tokens_[i + 3].isSymbol(",")) {
                    // The interval is a bare word in Jet; pass it as text.
                    out += QLatin1String("jet_datepart('") + tokens_[i + 2].text.toLower() +
                           QLatin1String("',");
                    ++depth;
                    i += 3;
                } else if (callFollows && t.isWord("datepart")) {
                    out += QLatin1String("jet_datepart");
                } else if (callFollows && t.isWord("chr")) {
                    out += pg_ ? QLatin1String("chr") : QLatin1String("char");
                } else if (callFollows && (t.isWord("ucase") || t.isWord("lcase"))) {
                    out += t.isWord("ucase") ? QLatin1String("upper") : QLatin1String("lower");
                    textCall(depth);
                } else if (callFollows && t.isWord("len")) {
                    out += QLatin1String("length");
                } else if (callFollows && t.isWord("mid")) {
                    out += QLatin1String("substr");
                    textCall(depth);
                } else if (pg_ && t.isWord("like")) {
                    out += QLatin1String("ILIKE");
                    likeDepth_ = depth;
                } else {
                    if ((t.isWord("order") || t.isWord("group")) && i + 1 < tokens_.size() &&
                        tokens_[i + 1].isWord("by"))
                        inOrderBy_ = true;
                    out += t.text;
                    if (pg_ && t.isWord("by") && i > 0 && tokens_[i - 1].isWord("order")) {
                        orderDepth_ = depth;
                        startOrderTerm();
                    }
                }
                break;
            case JetToken::String:
            case JetToken::Number:
            case JetToken::Date:
                emitConstant(out, i);
                break;
            case JetToken::Symbol:
                if (t.isSymbol("-") && marks_[i] == ColumnKind::YesNo) {
                    emitConstant(out, i);
                } else if (t.isSymbol("&")) {
                    out += QLatin1String("||");
                } else {
                    if (t.isSymbol("("))
                        ++depth;
                    else if (t.isSymbol(")") && --depth < 0)
                        fail(QStringLiteral("Syntax error: unbalanced ')'."));
                    out += t.text;
                    // Text from a string function compares like the columns: without case.
                    if (t.isSymbol(")") && !textCalls_.empty() && textCalls_.back() == depth) {
                        textCalls_.pop_back();
                        out += QLatin1String(" COLLATE NOCASE");
                    }
                }
                break;
            }
        }
        if (depth != 0)
            fail(QStringLiteral("Syntax error: missing ')'."));
        if (pg_)
            closeClauses(out, tokens_.size(), depth);
        result.sql = out.toUtf8();
        result.params = std::move(params_);
    }

    // A string function's result gets the columns' comparison without case. PostgreSQL needs
    // nothing: a function's result keeps the collation of the column it was given.
    void textCall(int depth) {
        if (!pg_)
            textCalls_.push_back(depth);
    }

    const JetSchema& schema_;
    Tokens tokens_;
    std::vector<ColumnKind> marks_;
    QStringList tables_;
    QVariantList params_;
    std::vector<ColumnKind> literalKinds_;
    bool reusable_ = true;
    bool inOrderBy_ = false;
    std::vector<int> textCalls_; // depth at which each open string-function call started
    const TranslateOptions options_;
    const bool pg_;
    // PostgreSQL's clauses with a suffix: the depth of the open LIKE pattern and ORDER BY
    // clause (-1 for none), and what the current ORDER BY term has shown so far.
    int likeDepth_ = -1;
    int orderDepth_ = -1;
    bool orderTermStart_ = false;
    bool orderTermDone_ = false;
    bool orderTermDesc_ = false;
    bool orderTermNulls_ = false;
};

} // namespace

TranslatedStatement translateJet(const QString& jetSql, const JetSchema& schema,
                                 TranslateOptions options) {
    return Translator(statementTokens(jetSql), schema, options).run();
}

namespace {

// The shape of a statement: every token but the literals' values, which only change the
// parameters. Hashed and compared token by token, without building a key.
size_t shapeHash(const Tokens& tokens) {
    size_t h = tokens.size();
    for (const JetToken& t : tokens) {
        h = h * 1000003u ^ size_t(t.kind);
        if (!isLiteral(t))
            h = h * 1000003u ^ qHash(QStringView(t.text));
    }
    return h;
}

bool sameShape(const Tokens& a, const Tokens& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || (!isLiteral(a[i]) && a[i].text != b[i].text))
            return false;
    }
    return true;
}

} // namespace

TranslatedStatement JetTranslationCache::translate(const QString& jetSql, const JetSchema& schema,
                                                   TranslateOptions options) {
    Tokens tokens = statementTokens(jetSql);
    const size_t hash =
        shapeHash(tokens) ^ (size_t(options.dialect) << 1 | size_t(options.unlessDuplicate));
    for (auto it = shapes_.constFind(hash); it != shapes_.constEnd() && it.key() == hash; ++it) {
        if (it->options.dialect != options.dialect ||
            it->options.unlessDuplicate != options.unlessDuplicate ||
            !sameShape(it->tokens, tokens))
            continue;
        TranslatedStatement result;
        result.verb = it->verb;
        result.sql = it->sql;
        result.params.reserve(qsizetype(it->literalKinds.size()));
        size_t k = 0;
        for (const JetToken& t : tokens) {
            if (isLiteral(t))
                result.params.push_back(literalValue(t, it->literalKinds[k++]));
        }
        return result;
    }
    // Kept with texts of their own: these tokens point into a statement that will be gone.
    Tokens kept;
    kept.reserve(tokens.size());
    for (const JetToken& t : tokens)
        kept.push_back(
            {t.kind, isLiteral(t) ? QString() : QString(t.text.constData(), t.text.size())});
    Translator translator(std::move(tokens), schema, options);
    TranslatedStatement result = translator.run();
    if (translator.reusable()) {
        if (shapes_.size() >= Limit)
            shapes_.clear();
        shapes_.insert(
            hash, {std::move(kept), options, result.verb, result.sql, translator.literalKinds()});
    }
    return result;
}

} // namespace brevant::db
