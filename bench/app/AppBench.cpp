// How long the user waits for the application: from starting it to its main window on
// screen, and from choosing the largest library in the open dialog to its tree shown and
// its first material in the grid. Offscreen platform, real windows, scripted dialogs.

#include "Application.h"
#include "BaseForm.h"
#include "BaseFormWindow.h"
#include "Controls.h"
#include "EditorWindows.h"
#include "FakeServices.h"
#include "LargestLibrary.h"
#include "LibraryFile.h"
#include "MDIForm1.h"
#include "MaterialBrowser.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtTree.h"
#include "RefuseRetry.h"
#include "ShellFakes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

struct Services {
    mb::fake::FakeMessageBox messages;
    mb::fake::FakeFileDialogs dialogs;
    mb::fake::FakeSettingsBackend settings;
    mb::test::FakeHelpViewer help;
    mb::qt::BrowserServices browser() { return {&messages, &dialogs, &settings, &help}; }
};

// Runs the event loop until `done` holds, as the user's wait ends when the screen shows it.
template <class Done> void ProcessEventsUntil(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (timer.elapsed() > 10000) throw std::runtime_error("the window never showed");
    }
}

bool Exposed(QWidget& w) {
    return w.windowHandle() && w.windowHandle()->isExposed();
}

// The largest library, written once with the application's own writer.
const std::string& LargestLibraryPath() {
    static QTemporaryDir dir;
    static const std::string path = [] {
        mb::Library library;
        mb::bench::fillLargestLibrary(library);
        const std::string p = QDir(dir.path()).filePath("largest.lib").toStdString();
        mb::bench::RefuseRetry prompt("app_bench");
        mb::WriteLibraryFile(p, library, mb::groupByCategory(library), prompt);
        return p;
    }();
    return path;
}

void BM_StartToMainWindowShown(benchmark::State& st) {
    for (auto _ : st) {
        Services services;
        auto browser = std::make_unique<mb::qt::MaterialBrowser>(services.browser());
        browser->show();
        ProcessEventsUntil([&] { return Exposed(browser->mainWindow()); });
        st.PauseTiming();
        browser.reset();
        QApplication::processEvents(); // the deferred deletions
        st.ResumeTiming();
    }
}
BENCHMARK(BM_StartToMainWindowShown)->Unit(benchmark::kMillisecond);

// "&Open..." with the largest library chosen in the dialog, to the tree on screen and
// the first material's values in the grid.
void BM_OpenLargestLibrary(benchmark::State& st) {
    const std::string& path = LargestLibraryPath();
    Services services;
    mb::qt::MaterialBrowser browser(services.browser());
    browser.show();
    ProcessEventsUntil([&] { return Exposed(browser.mainWindow()); });

    for (auto _ : st) {
        services.dialogs.queuePath(path);
        browser.mainWindow().menuItem("fileOpenMenu")->trigger();
        mb::BaseFormWindow* editor = browser.editors().window();
        if (!editor) {
            st.SkipWithError("no editor window after open");
            return;
        }
        if (!services.messages.questions.empty()) {
            st.SkipWithError("a message box was shown");
            return;
        }
        // Opening selects the first material and fills the grid with its values.
        ProcessEventsUntil([&] {
            return editor->isVisible() && editor->VSFlexGrid1().isVisible() &&
                   editor->VSFlexGrid1().rowCount() > 0;
        });
        QApplication::processEvents(); // the paint and the grid's column fitting
        st.PauseTiming();
        st.counters["materials"] = browser.state().library.materialCount();
        st.counters["grid rows"] = editor->VSFlexGrid1().rowCount();
        // Back to the empty main window: "&Close", not saved.
        services.messages.queueAnswer(mb::MsgResult::No);
        browser.mainWindow().menuItem("fileCloseMenu")->trigger();
        QApplication::processEvents();
        services.messages.questions.clear();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLargestLibrary)->Unit(benchmark::kMillisecond);

// The browser shown with the largest library open through File > Open and its first
// material in the grid; null, with the benchmark marked failed, when no editor came up.
mb::BaseFormWindow* OpenLargestLibrary(mb::qt::MaterialBrowser& browser, Services& services,
                                       benchmark::State& st) {
    browser.show();
    ProcessEventsUntil([&] { return Exposed(browser.mainWindow()); });
    services.dialogs.queuePath(LargestLibraryPath());
    browser.mainWindow().menuItem("fileOpenMenu")->trigger();
    mb::BaseFormWindow* editor = browser.editors().window();
    if (!editor) {
        st.SkipWithError("no editor window after open");
        return nullptr;
    }
    ProcessEventsUntil([&] { return editor->isVisible() && editor->VSFlexGrid1().rowCount() > 0; });
    return editor;
}

// "Undo" and "Redo" from the Edit menu on the largest library, to the tree rebuilt and the
// material's values in the grid: of a delete of material 0 (every other material is
// renumbered and the tree built afresh) and of a value typed into the grid.
void BM_UndoRedoOnLargestLibrary(benchmark::State& st) {
    const bool redo = st.range(1) != 0;
    Services services;
    mb::qt::MaterialBrowser browser(services.browser());
    mb::BaseFormWindow* editor = OpenLargestLibrary(browser, services, st);
    if (!editor) return;
    mb::DocumentView& form = editor->form();
    mb::qt::QtGrid& grid = editor->VSFlexGrid1();
    QAction* undo = browser.mainWindow().menuItem("undoMenu");
    QAction* again = browser.mainWindow().menuItem("redoMenu");
    const auto edit = [&] {
        if (st.range(0) == 0) {
            browser.mainWindow().menuItem("delete")->trigger();
        } else {
            grid.setCurrentCell(1, 2);
            emit grid.clicked();
            grid.setText(std::to_string(1000 + browser.state().history.undoCount()));
            form.VSFlexGrid1_LeaveCell();
        }
        QApplication::processEvents();
    };
    for (auto _ : st) {
        st.PauseTiming();
        edit();
        if (redo) undo->trigger(), QApplication::processEvents();
        st.ResumeTiming();
        (redo ? again : undo)->trigger();
        QApplication::processEvents(); // the paint
        st.PauseTiming();
        if (redo) undo->trigger(), QApplication::processEvents();
        if (!services.messages.questions.empty() && st.range(0) != 0) {
            st.SkipWithError("a message box was shown");
            return;
        }
        services.messages.questions.clear();
        st.counters["materials"] = browser.state().library.materialCount();
        st.ResumeTiming();
    }
    st.SetLabel(std::string(st.range(0) == 0 ? "delete" : "value") + (redo ? ", redo" : ", undo"));
    services.messages.queueAnswer(mb::MsgResult::No);
    browser.mainWindow().menuItem("fileCloseMenu")->trigger();
    QApplication::processEvents();
}
BENCHMARK(BM_UndoRedoOnLargestLibrary)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// A value typed into the grid and stored, on the largest library, with the Check Library
// list shown (range 1) or not (range 0): the list takes back the edited material's lines.
void BM_ValueEditWithCheckList(benchmark::State& st) {
    Services services;
    mb::qt::MaterialBrowser browser(services.browser());
    mb::BaseFormWindow* editor = OpenLargestLibrary(browser, services, st);
    if (!editor) return;
    if (st.range(0) != 0) {
        browser.mainWindow().menuItem("checkLibrary")->trigger();
        QApplication::processEvents();
    }
    mb::DocumentView& form = editor->form();
    mb::qt::QtGrid& grid = editor->VSFlexGrid1();
    for (auto _ : st) {
        grid.setCurrentCell(1, 2);
        emit grid.clicked();
        grid.setText(std::to_string(1000 + browser.state().history.undoCount()));
        form.VSFlexGrid1_LeaveCell();
        QApplication::processEvents(); // the paint
    }
    st.SetLabel(st.range(0) != 0 ? "check list shown" : "no check list");
    services.messages.queueAnswer(mb::MsgResult::No);
    browser.mainWindow().menuItem("fileCloseMenu")->trigger();
    QApplication::processEvents();
}
BENCHMARK(BM_ValueEditWithCheckList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "&Save" of the largest library, unchanged, over its own file: the time is how long the
// window's thread is held; "written ms" how long until the file is in place and flushed.
void BM_SaveLargestLibrary(benchmark::State& st) {
    Services services;
    mb::qt::MaterialBrowser browser(services.browser());
    if (!OpenLargestLibrary(browser, services, st)) return;
    QAction* save = browser.mainWindow().menuItem("saveMenu");
    QElapsedTimer written;
    double writtenMs = 0;
    for (auto _ : st) {
        written.start();
        save->trigger();
        st.PauseTiming();
        browser.application().lifecycle().waitForSave();
        writtenMs += static_cast<double>(written.nsecsElapsed()) / 1e6;
        st.ResumeTiming();
    }
    if (!services.messages.questions.empty()) st.SkipWithError("a message box was shown");
    st.counters["written ms"] = writtenMs / static_cast<double>(st.iterations());
    services.messages.queueAnswer(mb::MsgResult::No);
    browser.mainWindow().menuItem("fileCloseMenu")->trigger();
    QApplication::processEvents();
}
BENCHMARK(BM_SaveLargestLibrary)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
