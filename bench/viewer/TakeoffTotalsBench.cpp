// Totals of a project's takeoff with 10,000 marks on 40 sheets (lengths of a few points, areas,
// counts), recomputed as the side panel does after each edit; the aim is under 5 ms.
#include "takeoff/TakeoffModel.h"

#include <benchmark/benchmark.h>

namespace {

using namespace brevant::takeoff;

constexpr int kMarks = 10000;
constexpr int kSheets = 40;

TakeoffData project() {
    TakeoffData d;
    const Kind kinds[] = {Kind::Length, Kind::Area, Kind::Count};
    for (int i = 1; i <= 30; ++i) {
        Item it;
        it.id = i;
        it.name = QStringLiteral("Item %1").arg(i);
        it.kind = kinds[i % 3];
        it.unit = defaultUnit(it.kind, LengthSystem::Imperial);
        it.wastePercent = i % 4 * 5;
        d.items[i] = it;
    }
    for (int s = 0; s < kSheets; ++s)
        d.scales.insert({QStringLiteral("A-%1.pdf").arg(100 + s / 4), s % 4},
                        *statedScale(u"1/4\" = 1'-0\""));
    for (int m = 1; m <= kMarks; ++m) {
        Mark mk;
        mk.id = m;
        mk.itemId = 1 + m % 30;
        const int s = (m * kSheets) / (kMarks + 1);
        mk.sheet = {QStringLiteral("A-%1.pdf").arg(100 + s / 4), s % 4};
        const double x = m % 2000, y = m % 1500;
        for (int p = 0; p < 5; ++p)
            mk.points.append({x + p * 17.5, y + (p % 2) * 23.25});
        d.marks[m] = mk;
    }
    return d;
}

void TakeoffTotals(benchmark::State& state) {
    const TakeoffData d = project();
    for (auto _ : state) {
        Totals t = computeTotals(d);
        benchmark::DoNotOptimize(t);
    }
    state.SetItemsProcessed(state.iterations() * kMarks);
}
BENCHMARK(TakeoffTotals)->Unit(benchmark::kMillisecond);

// One edit as the viewer makes it (a mark added), then the totals the panel reads.
void TakeoffEditAndTotals(benchmark::State& state) {
    TakeoffModel model(1);
    model.reset(1, project());
    const SheetKey sheet{QStringLiteral("A-100.pdf"), 0};
    for (auto _ : state) {
        model.addMark(3, sheet, {{0, 0}, {720, 0}}); // item 3 is a length
        benchmark::DoNotOptimize(model.totals().forProject(3).quantity);
        model.undoStack()->undo();
    }
}
BENCHMARK(TakeoffEditAndTotals)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
