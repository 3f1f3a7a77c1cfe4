#pragma once
// Splits one Jet SQL statement into tokens for the translator. It knows the lexical forms
// the client writes, nothing of the grammar.
#include <QString>
#include <vector>

namespace brevant::db {

struct JetToken {
    enum Kind {
        Word,   // bare identifier or keyword
        Name,   // [bracketed identifier]
        String, // 'text' or "text", quotes undone
        Number, // 12, 3.5, 1e3
        Date,   // #...#, the text between the signs
        Symbol  // operators and punctuation: ( ) , . * = <> <= >= < > + - / & ;
    };
    Kind kind;
    QString text;

    // t is an ASCII keyword in either case; keywords are ASCII, so only ASCII letters match.
    // (Tested for every token against many keywords: kept free of Unicode case folding.)
    bool is(Kind k, const char* t) const {
        if (kind != k)
            return false;
        const QChar* c = text.constData();
        qsizetype i = 0;
        for (; t[i] != '\0'; ++i) {
            if (i == text.size())
                return false;
            char16_t u = c[i].unicode();
            if (u >= u'A' && u <= u'Z')
                u = char16_t(u + (u'a' - u'A'));
            const char w = (t[i] >= 'A' && t[i] <= 'Z') ? char(t[i] + ('a' - 'A')) : t[i];
            if (u != char16_t(w))
                return false;
        }
        return i == text.size();
    }
    bool isWord(const char* t) const { return is(Word, t); }
    bool isSymbol(const char* t) const {
        if (kind != Symbol)
            return false;
        qsizetype i = 0;
        for (; t[i] != '\0'; ++i)
            if (i == text.size() || text[i].unicode() != char16_t(uchar(t[i])))
                return false;
        return i == text.size();
    }
};

// Throws DbError (CommandError) on an unterminated literal or a character Jet SQL does not use.
// The tokens' texts point into sql (no copies): they are valid only while sql lives unchanged.
std::vector<JetToken> tokenizeJet(const QString& sql);

} // namespace brevant::db
