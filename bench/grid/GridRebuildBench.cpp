// How long a click on a material takes to rebuild the property grid, on the real Qt grid
// (offscreen), with the largest library open. The rebuild includes the deferred column
// fitting, which runs before the next paint.

#include "AppState.h"
#include "BaseForm.h"
#include "BaseFormWindow.h"
#include "FakeServices.h"
#include "LargestLibrary.h"
#include "NodeKey.h"
#include "QtTree.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

struct Editor {
    Editor() : window(state, messages, locale) {
        mb::bench::FillLargestLibrary(state.library);
        mb::BaseForm& form = window.form();
        mb::BuildTree(state.library, form.TreeView1);
        form.FillUnitsList();
        form.FillTypeList();
        form.unitsCombo_Click();
        form.typeCombo.setListIndex(12);
        window.resize(900, 600);
        window.show();
        QApplication::processEvents();
    }
    std::string keyOf(int n) {
        const mb::LibraryEntry& e = state.library.Entry(n);
        return mb::MaterialNodeKey(e.Category, e.Name, n);
    }

    mb::AppState state;
    mb::fake::FakeMessageBox messages;
    mb::fake::FakeLocale locale{"."};
    mb::BaseFormWindow window;
};

void BM_ClickViscoelasticMaterial(benchmark::State& st) {
    Editor editor;
    mb::BaseForm& form = editor.window.form();
    const std::string keys[] = {editor.keyOf(17), editor.keyOf(1000)};
    int i = 0;
    for (auto _ : st) {
        const std::string& key = keys[i++ % 2];
        form.TreeView1.select(key);
        form.TreeView1_NodeClick(key);
        QApplication::processEvents(); // the column fitting the rebuild asked for
    }
    st.counters["rows"] = form.VSFlexGrid1.rows();
}
BENCHMARK(BM_ClickViscoelasticMaterial)->Unit(benchmark::kMillisecond);

void BM_SwitchUnitSystem(benchmark::State& st) {
    Editor editor;
    mb::BaseForm& form = editor.window.form();
    const std::string key = editor.keyOf(500);
    form.TreeView1.select(key);
    form.TreeView1_NodeClick(key);
    int i = 0;
    for (auto _ : st) {
        form.unitsCombo.setListIndex(i++ % 3);
        form.unitsCombo_Click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SwitchUnitSystem)->Unit(benchmark::kMillisecond);

} // namespace
