// How long a click on a material takes to rebuild the property grid, on the real Qt grid
// (offscreen), with the largest library open. The rebuild includes the deferred column
// fitting, which runs before the next paint.

#include "AppState.h"
#include "BaseForm.h"
#include "BaseFormWindow.h"
#include "FakeServices.h"
#include "LargestLibrary.h"
#include "MaterialCurves.h"
#include "MoveToCategory.h"
#include "NodeKey.h"
#include "QtChart.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtTree.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

struct Editor {
    Editor() : window(state, messages, locale) {
        mb::bench::fillLargestLibrary(state.library);
        mb::DocumentView& form = window.form();
        form.showLibrary();
        form.showSelectors();
        window.typeCombo().setListIndex(12);
        window.resize(900, 600);
        window.show();
        QApplication::processEvents();
    }
    std::string keyOf(int n) {
        const mb::LibraryEntry& e = state.library.entry(n);
        return mb::materialNodeKey(e.Category, e.Name, n);
    }

    mb::AppState state;
    mb::fake::FakeMessageBox messages;
    mb::fake::FakeLocale locale{"."};
    mb::BaseFormWindow window;
};

void BM_ClickViscoelasticMaterial(benchmark::State& st) {
    Editor editor;
    mb::DocumentView& form = editor.window.form();
    const std::string keys[] = {editor.keyOf(17), editor.keyOf(1000)};
    int i = 0;
    for (auto _ : st) {
        const std::string& key = keys[i++ % 2];
        form.tree().select(key);
        form.TreeView1_NodeClick(key);
        QApplication::processEvents(); // the column fitting the rebuild asked for
    }
    st.counters["rows"] = editor.window.VSFlexGrid1().rows();
}
BENCHMARK(BM_ClickViscoelasticMaterial)->Unit(benchmark::kMillisecond);

// The chart pane alone, as the click above drives it: the viscoelastic curves of two
// materials in turn, each shown and painted.
void BM_ShowViscoelasticChart(benchmark::State& st) {
    Editor editor;
    mb::qt::QtChart& chart = editor.window.chart();
    mb::ChartPlot plots[2];
    for (int n = 0; n < 2; ++n) {
        const mb::MaterialCurve curve =
            mb::computeCurve(editor.state.library.material(n == 0 ? 17 : 1000), 12, 0);
        plots[n] = {curve.title, curve.xLabel, curve.yLabel, curve.logX, curve.polar, curve.x, {}};
        for (const mb::CurveSeries& s : curve.series)
            plots[n].series.push_back({s.name, s.y});
    }
    int i = 0;
    for (auto _ : st) {
        chart.showPlot(plots[i++ % 2]);
        chart.repaint(); // what the next frame paints
    }
    st.counters["points"] = static_cast<double>(plots[0].x.size());
}
BENCHMARK(BM_ShowViscoelasticChart)->Unit(benchmark::kMillisecond);

void BM_SwitchUnitSystem(benchmark::State& st) {
    Editor editor;
    mb::DocumentView& form = editor.window.form();
    const std::string key = editor.keyOf(500);
    form.tree().select(key);
    form.TreeView1_NodeClick(key);
    int i = 0;
    for (auto _ : st) {
        editor.window.unitsCombo().setListIndex(i++ % 3);
        emit editor.window.unitsCombo().clicked();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SwitchUnitSystem)->Unit(benchmark::kMillisecond);

// A drag of an early material to the end of its category and its undo, each showing the
// moved material as the window does, without the repaint: each renumbers nearly every
// material, and the tree takes each node's new key while the window's other views follow.
void BM_MoveMaterialToTheEndAndBack(benchmark::State& st) {
    Editor editor;
    mb::DocumentView& form = editor.window.form();
    // An early material of the first category: moving the first of a category to the end
    // would change the categories' order, and the tree would be built afresh.
    const mb::Library& library = editor.state.library;
    const std::string category = library.entry(0).Category;
    int n = 5;
    while (library.entry(n).Category != category)
        ++n;
    form.tree().setExpanded(category, true);
    const auto click = [&](const std::string& key) {
        form.tree().select(key);
        form.TreeView1_NodeClick(key);
    };
    click(editor.keyOf(n));
    for (auto _ : st) {
        const std::string moved =
            mb::MoveMaterialToCategory(editor.state, form.tree(), editor.keyOf(n), category);
        if (moved.empty()) st.SkipWithError("the material did not move");
        click(moved);
        editor.state.history.undo([&](const mb::EditHistory::Outcome& back) {
            click(editor.keyOf(back.shown.material));
        });
        QApplication::processEvents();
    }
    st.counters["nodes"] = form.tree().nodeCount();
}
BENCHMARK(BM_MoveMaterialToTheEndAndBack)->Unit(benchmark::kMillisecond);

} // namespace
