#include "platform/richtext/RtfDocument.h"

#include "platform/richtext/RtfReader.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace brevant::richtext {

namespace {

class DocumentSink : public RtfSink {
public:
    explicit DocumentSink(QTextDocument& doc) : cursor_(&doc) {}

    void text(const QString& text, const RtfCharFormat& f) override {
        QTextCharFormat cf;
        if (!f.family.isEmpty())
            cf.setFontFamilies({f.family});
        cf.setFontPointSize(f.halfPoints / 2.0);
        cf.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
        cf.setFontItalic(f.italic);
        cf.setFontUnderline(f.underline);
        if (f.color.isValid())
            cf.setForeground(f.color);
        cursor_.insertText(text, cf);
    }

    void paragraph() override { cursor_.insertBlock(); }

private:
    QTextCursor cursor_;
};

} // namespace

void setRtf(QTextDocument& document, const QString& rtf) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    DocumentSink sink(document);
    readRtf(rtf, sink);
    document.setUndoRedoEnabled(undo);
}

} // namespace brevant::richtext
