#pragma once
// Text bound for a terminal or a log: a line break in a value could forge a line of its own,
// an escape sequence could drive the terminal, and a bidi override could make a line read
// other than it is. Such characters are written as visible escapes; everything else (accents,
// CJK, symbols) stays as it is.
#include <QString>

namespace brevant::ui {

// C0 controls, DEL and C1 controls become "\n", "\r", "\t" or "\xHH"; the bidi embeddings,
// overrides and isolates (U+202A-U+202E, U+2066-U+2069) become "\uHHHH".
QString escapeForTerminal(const QString& text);

} // namespace brevant::ui
