// setRtf on report-shaped RTF into a QTextDocument with a layout and a page width, as a report
// box shows it. Run with QT_QPA_PLATFORM=offscreen.
#include "platform/richtext/RtfDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

const QString kHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Verdana;}}"
                      "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}";

// A project report: headings, bold labels with values, and a long bidder list, to about size.
QString reportOf(qsizetype size) {
    QString rtf = kHead + "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs16 ";
    for (int n = 0; rtf.size() < size; ++n) {
        rtf += QString("\\b PROJECT NAME:\\b0  Lincoln Elementary School Roof Replacement %1\\par "
                       "\\b BID DATE:\\b0  3/15/2027 2:00:00 PM\\par \\ul SPECIFICATIONS\\ulnone"
                       "\\par 09 91 00 Painting\\tab \\cf2\\b O'BRIEN\\cf1\\b0  Contractors, "
                       "Springfield IL 62701 (217) 555-0100\\par ")
                   .arg(n);
    }
    return rtf + "}";
}

// One paragraph of alternating bold and plain runs ("\b a\b0 b" repeated), the worst case.
QString runsOf(qsizetype size) {
    QString rtf = kHead + "\\pard\\f0\\fs16 ";
    while (rtf.size() < size)
        rtf += "\\b a\\b0 b";
    return rtf + "\\par}";
}

void load(benchmark::State& state, const QString& rtf) {
    for (auto _ : state) {
        QTextDocument doc;
        doc.setTextWidth(700);
        doc.documentLayout();
        brevant::richtext::setRtf(doc, rtf);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    state.SetComplexityN(rtf.size());
}

void BM_Report1MB(benchmark::State& state) {
    load(state, reportOf(1 << 20));
}
BENCHMARK(BM_Report1MB)->Unit(benchmark::kMillisecond);

void BM_RunsInOneParagraph(benchmark::State& state) {
    load(state, runsOf(state.range(0)));
}
BENCHMARK(BM_RunsInOneParagraph)
    ->RangeMultiplier(4)
    ->Range(16 << 10, 256 << 10)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same runs with a blank after each pair: the line breaker finds a break every few
// characters, so only the reader's own cost grows with the size.
QString spacedRunsOf(qsizetype size) {
    QString rtf = kHead + "\\pard\\f0\\fs16 ";
    while (rtf.size() < size)
        rtf += "\\b a\\b0 b ";
    return rtf + "\\par}";
}
void BM_SpacedRuns(benchmark::State& state) {
    load(state, spacedRunsOf(state.range(0)));
}
BENCHMARK(BM_SpacedRuns)
    ->RangeMultiplier(4)
    ->Range(16 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The reader alone, with no layout attached: its cost per byte stays flat up to 1 MB. What
// grows faster in BM_RunsInOneParagraph is the line breaker on one word with no break in it.
void BM_RunsNoLayout(benchmark::State& state) {
    QString rtf = runsOf(state.range(0));
    for (auto _ : state) {
        QTextDocument doc;
        brevant::richtext::setRtf(doc, rtf);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetComplexityN(rtf.size());
}
BENCHMARK(BM_RunsNoLayout)
    ->RangeMultiplier(4)
    ->Range(16 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
