#include "platform/richtext/RtfReader.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace brevant::richtext {

namespace {

// Code page 1252 differs from Latin-1 only in 0x80..0x9F; unassigned bytes keep their value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Control words longer than this are not RTF; the rest of the letters is read and dropped.
constexpr int kMaxWordLength = 32;
// Parameters are clamped to this magnitude, so "huge numbers" cannot overflow anything.
constexpr long long kMaxParam = 1'000'000'000;
// Groups deeper than this share the state of the deepest kept one; keeps memory bounded.
constexpr int kMaxDepth = 512;

enum class Dest { Text, Skip, FontTable, ColorTable };

struct State {
    Dest dest = Dest::Text;
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int uc = 1; // characters to skip after \uN
};

bool isLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}
bool isDigit(QChar c) {
    const char16_t u = c.unicode();
    return u >= '0' && u <= '9';
}
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Destinations whose content is not document text.
bool isSkippedDestination(const QString& w) {
    static const QSet<QString> words = {"stylesheet",
                                        "info",
                                        "pict",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "fldinst",
                                        "object",
                                        "objdata",
                                        "listtable",
                                        "listoverridetable",
                                        "revtbl",
                                        "rsidtbl",
                                        "generator",
                                        "xmlnstbl",
                                        "themedata",
                                        "colorschememapping",
                                        "latentstyles",
                                        "datastore",
                                        "mmathPr",
                                        "pgdsctbl",
                                        "nonshppict",
                                        "shp",
                                        "shpinst",
                                        "shppict",
                                        "bkmkstart",
                                        "bkmkend",
                                        "author",
                                        "operator",
                                        "title",
                                        "subject",
                                        "comment",
                                        "company",
                                        "doccomm",
                                        "keywords",
                                        "filetbl",
                                        "annotation",
                                        "atnid",
                                        "atnauthor",
                                        "txe",
                                        "xe",
                                        "tc",
                                        "private",
                                        "userprops",
                                        "template",
                                        "blipuid",
                                        "fontemb",
                                        "fontfile",
                                        "panose",
                                        "falt",
                                        "leveltext",
                                        "levelnumbers",
                                        "listname",
                                        "buptim",
                                        "creatim",
                                        "printim",
                                        "revtim"};
    return words.contains(w);
}

class Reader {
public:
    Reader(QStringView in, RtfSink& sink) : in_(in), sink_(sink) { stack_.reserve(64); }

    void run() {
        while (pos_ < in_.size()) {
            const QChar c = in_[pos_];
            if (c == u'{') {
                ++pos_;
                openGroup();
            } else if (c == u'}') {
                ++pos_;
                closeGroup();
            } else if (c == u'\\') {
                ++pos_;
                controlSequence();
            } else {
                ++pos_;
                character(c);
            }
        }
        finishFontEntry();
        flush();
    }

private:
    void openGroup() {
        skipAfterUnicode_ = 0;
        if (int(stack_.size()) >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(st_);
    }

    void closeGroup() {
        skipAfterUnicode_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty())
            return; // an unbalanced "}" closes nothing
        if (st_.dest == Dest::FontTable)
            finishFontEntry();
        if (st_.dest == Dest::ColorTable && stack_.back().dest != Dest::ColorTable)
            finishColorEntry(false);
        st_ = stack_.back();
        stack_.pop_back();
    }

    // After "\": a control word, a control symbol or a \'hh escape.
    void controlSequence() {
        if (pos_ >= in_.size())
            return; // a lone backslash at the end
        const QChar c = in_[pos_];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        switch (c.unicode()) {
        case u'\'': {
            const int hi = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
            const int lo = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
            if (hi < 0 || lo < 0) {
                // Truncated escape: drop what there is of it.
                if (hi >= 0)
                    ++pos_;
                return;
            }
            pos_ += 2;
            character(cp1252ToUnicode(static_cast<unsigned char>(hi * 16 + lo)), true);
            return;
        }
        case u'\\':
        case u'{':
        case u'}':
            character(c, true);
            return;
        case u'~':
            character(QChar(0x00A0), true);
            return;
        case u'_':
            character(QChar(0x2011), true);
            return;
        case u'*':
            // An ignorable destination: we know none of them.
            st_.dest = Dest::Skip;
            return;
        case u'\r':
        case u'\n':
            word(QStringLiteral("par"), false, 0);
            return;
        default:
            return; // \- (optional hyphen), \| \: and anything else: nothing to show
        }
    }

    void controlWord() {
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const QString name = (pos_ - start <= kMaxWordLength)
                                 ? in_.sliced(start, pos_ - start).toString()
                                 : QString(); // too long to be a word we know
        bool hasParam = false;
        bool negative = false;
        long long value = 0;
        if (pos_ < in_.size() && in_[pos_] == u'-' && pos_ + 1 < in_.size() &&
            isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            hasParam = true;
            value = std::min(kMaxParam, value * 10 + (in_[pos_].unicode() - '0'));
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == u' ')
            ++pos_; // the delimiter belongs to the word
        const int param = static_cast<int>(negative ? -value : value);
        if (skipAfterUnicode_ > 0 && st_.dest == Dest::Text && name != u"bin") {
            --skipAfterUnicode_;
            return;
        }
        word(name, hasParam, param);
    }

    void word(const QString& w, bool hasParam, int param) {
        if (w == u"bin") {
            // Binary data: skip its bytes, never past the end.
            const qsizetype n = hasParam ? std::max(0, param) : 0;
            pos_ = std::min<qsizetype>(in_.size(), pos_ + n);
            return;
        }
        if (st_.dest == Dest::Skip)
            return;
        if (w == u"fonttbl") {
            st_.dest = Dest::FontTable;
            return;
        }
        if (w == u"colortbl") {
            st_.dest = Dest::ColorTable;
            colorEntryOpen_ = false;
            return;
        }
        if (isSkippedDestination(w)) {
            st_.dest = Dest::Skip;
            return;
        }
        if (st_.dest == Dest::FontTable) {
            if (w == u"f") {
                finishFontEntry();
                fontIndex_ = param;
                fontEntryOpen_ = true;
            }
            return;
        }
        if (st_.dest == Dest::ColorTable) {
            const int v = std::clamp(param, 0, 255);
            if (w == u"red")
                red_ = v;
            else if (w == u"green")
                green_ = v;
            else if (w == u"blue")
                blue_ = v;
            else
                return;
            colorEntryOpen_ = true;
            return;
        }
        textWord(w, hasParam, param);
    }

    // Control words in the document text.
    void textWord(const QString& w, bool hasParam, int param) {
        const bool on = !hasParam || param != 0;
        if (w == u"par") {
            flush();
            sink_.paragraph();
        } else if (w == u"line") {
            character(QChar(0x2028), true);
        } else if (w == u"tab") {
            character(QChar(u'\t'), true);
        } else if (w == u"b") {
            st_.bold = on;
        } else if (w == u"i") {
            st_.italic = on;
        } else if (w == u"ul") {
            st_.underline = on;
        } else if (w == u"ulnone") {
            st_.underline = false;
        } else if (w == u"fs") {
            st_.halfPoints = (hasParam && param > 0) ? std::min(param, 3276) : 24;
        } else if (w == u"f") {
            st_.font = param;
        } else if (w == u"cf") {
            st_.color = param;
        } else if (w == u"deff") {
            defaultFont_ = param;
        } else if (w == u"plain") {
            st_.font = -1;
            st_.halfPoints = 24;
            st_.color = 0;
            st_.bold = st_.italic = st_.underline = false;
        } else if (w == u"uc") {
            st_.uc = std::clamp(param, 0, 16);
        } else if (w == u"u") {
            int code = param;
            if (code < 0)
                code += 65536;
            if (code > 0 && code < 65536)
                character(QChar(char16_t(code)), true);
            skipAfterUnicode_ = st_.uc;
        } else if (w == u"emdash") {
            character(QChar(0x2014), true);
        } else if (w == u"endash") {
            character(QChar(0x2013), true);
        } else if (w == u"bullet") {
            character(QChar(0x2022), true);
        } else if (w == u"lquote") {
            character(QChar(0x2018), true);
        } else if (w == u"rquote") {
            character(QChar(0x2019), true);
        } else if (w == u"ldblquote") {
            character(QChar(0x201C), true);
        } else if (w == u"rdblquote") {
            character(QChar(0x201D), true);
        }
        // Anything else (\pard, \viewkind, \lang, \qc ...) changes nothing we show.
    }

    // A character of the input; escaped ones come from \'hh, \\ and the like.
    void character(QChar c, bool escaped = false) {
        if (skipAfterUnicode_ > 0 && st_.dest == Dest::Text) {
            --skipAfterUnicode_;
            return;
        }
        if (!escaped && (c == u'\r' || c == u'\n'))
            return; // line ends in RTF source are not text
        switch (st_.dest) {
        case Dest::Skip:
            return;
        case Dest::FontTable:
            if (c == u';')
                finishFontEntry();
            else if (fontEntryOpen_ && fontName_.size() < 256)
                fontName_ += c;
            return;
        case Dest::ColorTable:
            if (c == u';')
                finishColorEntry(true);
            return;
        case Dest::Text:
            break;
        }
        if (c.unicode() < 0x20 && c != u'\t' && c.unicode() != 0x2028)
            return;
        const RtfCharFormat f = currentFormat();
        if (!pending_.isEmpty() && !(f == pendingFormat_))
            flush();
        pendingFormat_ = f;
        pending_ += c;
    }

    RtfCharFormat currentFormat() const {
        RtfCharFormat f;
        const int font = st_.font >= 0 ? st_.font : defaultFont_;
        f.family = fonts_.value(font);
        f.halfPoints = st_.halfPoints;
        if (st_.color >= 0 && st_.color < colors_.size())
            f.color = colors_[st_.color];
        f.bold = st_.bold;
        f.italic = st_.italic;
        f.underline = st_.underline;
        return f;
    }

    void flush() {
        if (pending_.isEmpty())
            return;
        sink_.text(pending_, pendingFormat_);
        pending_.clear();
    }

    void finishFontEntry() {
        if (fontEntryOpen_) {
            const QString name = fontName_.trimmed();
            if (!name.isEmpty() && !fonts_.contains(fontIndex_))
                fonts_.insert(fontIndex_, name);
        }
        fontEntryOpen_ = false;
        fontName_.clear();
    }

    // ";" ends an entry; an entry without any colour word is the automatic colour.
    void finishColorEntry(bool terminated) {
        if (!terminated && !colorEntryOpen_)
            return;
        if (colors_.size() < 4096)
            colors_.push_back(colorEntryOpen_ ? QColor(red_, green_, blue_) : QColor());
        red_ = green_ = blue_ = 0;
        colorEntryOpen_ = false;
    }

    QStringView in_;
    RtfSink& sink_;
    qsizetype pos_ = 0;
    State st_;
    std::vector<State> stack_;
    int overflow_ = 0;
    int skipAfterUnicode_ = 0;
    int defaultFont_ = 0;

    QHash<int, QString> fonts_;
    int fontIndex_ = 0;
    bool fontEntryOpen_ = false;
    QString fontName_;

    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorEntryOpen_ = false;

    QString pending_;
    RtfCharFormat pendingFormat_;
};

} // namespace

QChar cp1252ToUnicode(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return QChar(kCp1252High[b - 0x80]);
    return QChar(char16_t(b));
}

void readRtf(QStringView rtf, RtfSink& sink) {
    Reader(rtf, sink).run();
}

} // namespace brevant::richtext
