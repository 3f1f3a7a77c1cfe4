#include "platform/richtext/RtfDocument.h"

#include "platform/richtext/RtfReader.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace brevant::richtext {

namespace {

class DocumentSink : public RtfSink {
public:
    DocumentSink(QTextDocument& doc, const QColor& ordinaryText)
        : cursor_(&doc), ordinaryText_(ordinaryText) {}

    void text(const QString& text, const RtfCharFormat& f) override {
        QTextCharFormat cf;
        if (!f.family.isEmpty())
            cf.setFontFamilies({f.family});
        cf.setFontPointSize(f.halfPoints / 2.0);
        cf.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
        cf.setFontItalic(f.italic);
        cf.setFontUnderline(f.underline);
        if (f.color.isValid() && f.color != ordinaryText_)
            cf.setForeground(f.color);
        cursor_.insertText(text, cf);
    }

    void paragraph() override { cursor_.insertBlock(); }

    // One edit block around the whole reading: the document lays itself out once at the end
    // instead of after every insert (which made many runs in one paragraph quadratic).
    void begin() { cursor_.beginEditBlock(); }
    void end() { cursor_.endEditBlock(); }

private:
    QTextCursor cursor_;
    QColor ordinaryText_;
};

} // namespace

void setRtf(QTextDocument& document, const QString& rtf) {
    setRtf(document, rtf, QColor());
}

void setRtf(QTextDocument& document, const QString& rtf, const QColor& ordinaryText) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    DocumentSink sink(document, ordinaryText);
    sink.begin();
    readRtf(rtf, sink);
    sink.end();
    document.setUndoRedoEnabled(undo);
}

} // namespace brevant::richtext
