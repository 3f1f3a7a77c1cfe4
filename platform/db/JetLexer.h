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

    bool is(Kind k, const char* t) const {
        if (kind != k)
            return false;
        const QLatin1String word(t);
        return text.size() == word.size() && text.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isWord(const char* t) const { return is(Word, t); }
    bool isSymbol(const char* t) const { return kind == Symbol && text == QLatin1String(t); }
};

// Throws DbError (CommandError) on an unterminated literal or a character Jet SQL does not use.
std::vector<JetToken> tokenizeJet(const QString& sql);

} // namespace brevant::db
