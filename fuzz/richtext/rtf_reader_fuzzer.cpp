// Feeds arbitrary bytes to the RTF reader, both alone and into a QTextDocument, the way a
// report box takes them. The first byte picks how the bytes become text: as Latin-1 (as a file
// is read) or as UTF-8 (as a composed report arrives).
#include "platform/richtext/RtfDocument.h"
#include "platform/richtext/RtfReader.h"
#include "platform/richtext/TextMarking.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

namespace {

class CountingSink : public brevant::richtext::RtfSink {
public:
    void text(const QString& t, const brevant::richtext::RtfCharFormat& f) override {
        chars += t.size();
        if (t.isEmpty() || f.halfPoints <= 0)
            std::abort(); // the reader never sends empty runs or sizes below one half point
    }
    void paragraph() override { ++paragraphs; }
    qsizetype chars = 0;
    qsizetype paragraphs = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 64 * 1024)
        return 0;
    const char* text = reinterpret_cast<const char*>(data + 1);
    const auto n = static_cast<qsizetype>(size - 1);
    const QString rtf = (data[0] & 1) ? QString::fromUtf8(text, n) : QString::fromLatin1(text, n);

    CountingSink sink;
    brevant::richtext::readRtf(rtf, sink);
    if (sink.chars > rtf.size())
        std::abort(); // every shown character comes from at least one input character

    QTextDocument doc;
    brevant::richtext::setRtf(doc, rtf);
    brevant::richtext::markText(doc, QStringLiteral("a"), Qt::blue, true);
    return 0;
}
