// How long each action of the user takes to reach the screen, on the largest library, in
// the assembled application: from the input event (a click, a key, a menu item chosen) to
// the end of the last repaint it causes.
//
// The clock: every top-level window repaints when it handles an UpdateRequest (Qt paints
// the dirty widgets into the backing store and flushes it to the window system there), so
// the application's `notify` notes when each UpdateRequest, and each expose of a window,
// has been handled. An action's time runs from just before its input is delivered to the
// end of the last such repaint before the application has been idle for `kQuietMs`. The
// status bar's animation and the text cursor's blinking are stopped: they repaint on their
// own and would end no action.
//
// `--log` prints every repaint, widget paint and layout request to the standard error,
// with its start and end after the input of its run: what an action drew, twice or late.
//
//   frame_bench [--runs N] [--only WORD] [--log]    # under Xvfb (QT_QPA_PLATFORM=xcb)

#include "AppState.h"
#include "BaseForm.h"
#include "BaseFormWindow.h"
#include "ComparisonWindow.h"
#include "EditorWindows.h"
#include "FakeServices.h"
#include "LargestLibrary.h"
#include "LibraryFile.h"
#include "MDIForm1.h"
#include "MaterialBrowser.h"
#include "MoveToCategory.h"
#include "NodeKey.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtTree.h"
#include "RefuseRetry.h"
#include "ShellFakes.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPaintEvent>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr qint64 kQuietMs = 60;
/// The material of the largest library left without a relaxation curve.
constexpr int kNoCurve = 3;

/// The application with the repaint clock.
class ClockedApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool repaint = type == QEvent::UpdateRequest ||
                             (type == QEvent::Expose && receiver->isWindowType()) ||
                             (type == QEvent::Paint && receiver->isWidgetType() &&
                              static_cast<QWidget*>(receiver)->isWindow());
        // Queued calls and timers too: what runs after a repaint can draw the window again.
        // The waiting's own tick (a QTimer) is left out.
        const bool deferred = (type == QEvent::MetaCall || type == QEvent::Timer) &&
                              !qobject_cast<const QTimer*>(receiver);
        const bool logged =
            log && (repaint || deferred || type == QEvent::Paint || type == QEvent::LayoutRequest);
        const qint64 begin = logged ? clock.nsecsElapsed() : 0;
        depth_ += logged ? 1 : 0;
        const bool done = QApplication::notify(receiver, event);
        if (logged) --depth_, Log(receiver, event, begin);
        if (repaint) {
            lastRepaintEnd = clock.nsecsElapsed();
            if (receiver == ownWindow || (ownWindow && receiver == ownWindow->windowHandle()))
                ownRepaintEnd = lastRepaintEnd;
            lastRepaintCpu = ThreadCpuNs();
            ++repaints;
            // A window's own paint comes within its UpdateRequest: one frame.
            if (type != QEvent::Paint) ++frames;
        }
        return done;
    }

    static qint64 ThreadCpuNs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }

    /// One line when an event ends, so the events it caused come first, indented by how
    /// deep they were. A paint names the rectangles it drew (width x height + x + y): a
    /// widget drawn whole where one cell changed shows there.
    void Log(const QObject* receiver, const QEvent* event, qint64 begin) const {
        const QEvent::Type type = event->type();
        const char* what = type == QEvent::UpdateRequest   ? "repaint"
                           : type == QEvent::Expose        ? "expose"
                           : type == QEvent::Paint         ? "paint"
                           : type == QEvent::LayoutRequest ? "layout"
                           : type == QEvent::MetaCall      ? "queued call"
                                                           : "timer";
        const QObject* parent = receiver->parent();
        QString area;
        if (type == QEvent::Paint) {
            for (const QRect& r : static_cast<const QPaintEvent*>(event)->region())
                area += QStringLiteral(" %1x%2+%3+%4")
                            .arg(r.width())
                            .arg(r.height())
                            .arg(r.x())
                            .arg(r.y());
        }
        std::fprintf(stderr, "%*s%s %s \"%s\"%s in %s: %+.1f to %+.1f ms\n", depth_ * 2 + 2, "",
                     what, receiver->metaObject()->className(), qPrintable(receiver->objectName()),
                     qPrintable(area), parent ? parent->metaObject()->className() : "-",
                     static_cast<double>(begin - inputAt) / 1e6,
                     static_cast<double>(clock.nsecsElapsed() - inputAt) / 1e6);
    }

    QElapsedTimer clock;
    bool log = false;
    qint64 inputAt = 0;
    qint64 lastRepaintEnd = -1;
    qint64 lastRepaintCpu = -1;
    /// The window the input went to, and the end of its last repaint.
    const QWidget* ownWindow = nullptr;
    qint64 ownRepaintEnd = -1;
    long repaints = 0;
    long frames = 0;

private:
    int depth_ = 0;
};

ClockedApplication* App() {
    return static_cast<ClockedApplication*>(QCoreApplication::instance());
}

/// Runs the event loop until nothing has happened for `kQuietMs`: no event waiting and no
/// repaint. Throws after ten seconds.
void Settle() {
    QElapsedTimer quiet;
    QElapsedTimer total;
    quiet.start();
    total.start();
    long repaints = App()->repaints;
    // Wakes the wait below, which sleeps until something happens, so that the waiting
    // takes no processor from the application and the X server.
    QTimer tick;
    tick.start(5);
    while (quiet.elapsed() < kQuietMs) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // Objects deleted later go when control is back in the main loop, which a
        // program driven from outside any loop never reaches: let them go here.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (App()->repaints != repaints) {
            repaints = App()->repaints;
            quiet.restart();
        }
        if (total.elapsed() > 10000) throw std::runtime_error("the application never settled");
    }
}

struct Figures {
    std::string action;
    std::vector<double> ms;
    std::vector<double> cpuMs; ///< the main thread's processor time over the same span
    /// Input to the end of the repaint of the window the input went to: an action that
    /// other windows follow shows in its own window first.
    std::vector<double> ownMs;
    /// Repaints of a window the action caused: an action drawn in more than one frame
    /// shows the user a state between.
    std::vector<double> frames;
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

class Bench {
public:
    explicit Bench(int runs) : runs_(runs), browser_(services()) {
        QApplication::setCursorFlashTime(0);
        mb::Library library;
        mb::bench::fillLargestLibrary(library);
        // A material like the rest but for its Prony times: no relaxation curve, so the
        // chart gives its room to the grid, which has the same rows. The file holds the
        // materials category by category: its material kNoCurve is the first category's.
        const mb::CategoryGrouping grouping = mb::groupByCategory(library);
        for (int n = 0, seen = 0; n < library.materialCount(); ++n) {
            if (grouping.categoryOfMaterial[static_cast<std::size_t>(n)] != 1) continue;
            if (seen++ < kNoCurve) continue;
            for (const char* kind : {"TAUG", "TAUK"})
                for (int term = 1; term <= 8; ++term)
                    library.material(n).CopyProperty(kind + std::to_string(term), 0);
            break;
        }
        path_ = QDir(dir_.path()).filePath("largest.lib").toStdString();
        mb::bench::RefuseRetry prompt("frame_bench");
        mb::WriteLibraryFile(path_, library, grouping, prompt);

        browser_.mainWindow().resize(1280, 800);
        browser_.show();
        // Keys go to the focus widget, which only an active window has.
        browser_.mainWindow().activateWindow();
        if (!QTest::qWaitForWindowActive(&browser_.mainWindow()))
            throw std::runtime_error("the main window never became active");
        if (auto* animation = browser_.mainWindow().findChild<QTimer*>(QStringLiteral("Timer1")))
            animation->stop();
        Settle();
        open();
    }

    /// Times `input` `runs_` times, each after `prepare` (untimed) and the application idle.
    void measure(const std::string& action, const std::function<void(int)>& prepare,
                 const std::function<void(int)>& input,
                 const std::function<void(int)>& after = {}) {
        Figures f{action, {}, {}, {}, {}};
        for (int i = 0; i < runs_; ++i) {
            if (prepare) prepare(i);
            Settle();
            App()->lastRepaintEnd = -1;
            App()->ownRepaintEnd = -1;
            const QWidget* focus = QApplication::focusWidget();
            App()->ownWindow = focus ? focus->window() : QApplication::activeWindow();
            const long framesBefore = App()->frames;
            rusage startUse{};
            getrusage(RUSAGE_THREAD, &startUse);
            const long faultsBefore = startUse.ru_minflt;
            const qint64 cpuStart = ClockedApplication::ThreadCpuNs();
            const qint64 start = App()->clock.nsecsElapsed();
            if (App()->log) std::fprintf(stderr, "%s, run %d\n", action.c_str(), i + 1);
            App()->inputAt = start;
            input(i);
            const qint64 delivered = App()->clock.nsecsElapsed();
            const qint64 cpuDelivered = ClockedApplication::ThreadCpuNs();
            Settle();
            const bool repainted = App()->lastRepaintEnd > delivered;
            const qint64 end = repainted ? App()->lastRepaintEnd : delivered;
            const qint64 cpuEnd = repainted ? App()->lastRepaintCpu : cpuDelivered;
            f.ms.push_back(static_cast<double>(end - start) / 1e6);
            const qint64 ownEnd = App()->ownRepaintEnd >= 0 ? App()->ownRepaintEnd : end;
            f.ownMs.push_back(static_cast<double>(ownEnd - start) / 1e6);
            f.cpuMs.push_back(static_cast<double>(cpuEnd - cpuStart) / 1e6);
            f.frames.push_back(static_cast<double>(App()->frames - framesBefore));
            if (App()->log) {
                rusage use{};
                getrusage(RUSAGE_THREAD, &use);
                std::fprintf(stderr,
                             "%s, run %d: %.1f ms (%.1f ms in %s), %.1f ms CPU, %ld page faults\n",
                             action.c_str(), i + 1, f.ms.back(), f.ownMs.back(),
                             App()->ownWindow ? App()->ownWindow->metaObject()->className() : "-",
                             f.cpuMs.back(), use.ru_minflt - faultsBefore);
            }
            if (after) after(i);
        }
        std::printf("%-48s %7.1f %7.1f %7.1f %7.1f %7.1f %7.0f %7.1f %7.1f\n", action.c_str(),
                    Percentile(f.ms, 0.5), Percentile(f.ms, 0.9),
                    *std::max_element(f.ms.begin(), f.ms.end()), Percentile(f.cpuMs, 0.5),
                    Percentile(f.cpuMs, 0.9), Percentile(f.frames, 0.5), Percentile(f.ownMs, 0.5),
                    Percentile(f.ownMs, 0.9));
        std::fflush(stdout);
        figures_.push_back(std::move(f));
    }

    // ---- The application -----------------------------------------------------------------
    mb::BaseFormWindow& editor() {
        mb::BaseFormWindow* w = browser_.editors().window();
        if (!w) throw std::runtime_error("no editor window");
        return *w;
    }
    mb::AppState& state() { return browser_.state(); }
    mb::qt::MDIForm1& main() { return browser_.mainWindow(); }
    QAction* item(const char* name) {
        QAction* a = main().menuItem(QString::fromLatin1(name));
        if (!a) throw std::runtime_error(std::string("no menu item ") + name);
        return a;
    }
    mb::fake::FakeMessageBox& messages() { return services_.messages; }

    void open() {
        services_.dialogs.queuePath(path_);
        item("fileOpenMenu")->trigger();
        Settle();
        if (editor().VSFlexGrid1().rowCount() == 0) throw std::runtime_error("nothing shown");
    }
    void close() {
        messages().queueAnswer(mb::MsgResult::No);
        item("fileCloseMenu")->trigger();
        Settle();
        messages().questions.clear();
    }

    std::string keyOf(int n) {
        const mb::LibraryEntry& e = state().library.entry(n);
        return mb::materialNodeKey(e.Category, e.Name, n);
    }
    /// Where material n's node is in the tree's item area, scrolled into view first.
    QPoint nodePoint(int n) {
        mb::qt::QtTree& tree = editor().TreeView1();
        QTreeWidgetItem* node = tree.itemForKey(keyOf(n));
        if (!node) throw std::runtime_error("no node for material " + std::to_string(n));
        if (node->parent()) node->parent()->setExpanded(true);
        tree.scrollToItem(node);
        return tree.visualItemRect(node).center();
    }
    /// A press and release on material n's node, as the user clicks it.
    void clickNode(int n) {
        QTest::mouseClick(editor().TreeView1().viewport(), Qt::LeftButton, {}, nodePoint(n));
    }
    void clickCell(int row, int col) {
        mb::qt::QtGrid& grid = editor().VSFlexGrid1();
        const QPoint at = grid.visualRect(grid.model()->index(row, col)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    }
    QWidget* focus() {
        QWidget* w = QApplication::focusWidget();
        if (!w) throw std::runtime_error("no widget has the keyboard");
        return w;
    }
    /// Keys typed where the focus is.
    void type(const QString& keys) {
        for (const QChar key : keys)
            QTest::keyClick(focus(), key.toLatin1());
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(focus(), key, modifiers);
    }
    void setType(int index) {
        mb::qt::QtComboBox& types = editor().typeCombo();
        types.setCurrentIndex(index);
        emit types.activated(index);
    }
    /// The grid row of `code` (the first with a value cell when empty), clicked, a new
    /// number typed: what stays for Enter to store.
    void startValueEdit(int i, const QString& code = {}) {
        mb::qt::QtGrid& grid = editor().VSFlexGrid1();
        int row = 0;
        const auto wanted = [&](const QTableWidgetItem* item) {
            return item && !item->text().isEmpty() && (code.isEmpty() || item->text() == code);
        };
        while (row < grid.rowCount() && !wanted(grid.item(row, 0)))
            ++row;
        if (row == grid.rowCount()) throw std::runtime_error("no grid row " + code.toStdString());
        clickCell(row, 2);
        if (auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget())) box->selectAll();
        type(QString::number(1000 + i * 7));
    }
    /// Enter in the cell being edited: the value is stored, one more edit to undo.
    void storeValue() {
        const std::size_t before = state().history.undoCount();
        press(Qt::Key_Return);
        QApplication::processEvents();
        if (state().history.undoCount() != before + 1)
            throw std::runtime_error("Enter stored no value");
    }
    mb::qt::ComparisonWindow* comparison() { return browser_.editors().comparisonWindow(); }

private:
    mb::qt::BrowserServices services() {
        return {&services_.messages, &services_.dialogs, &services_.settings, &services_.help};
    }
    struct Services {
        mb::fake::FakeMessageBox messages;
        mb::fake::FakeFileDialogs dialogs;
        mb::fake::FakeSettingsBackend settings;
        mb::test::FakeHelpViewer help;
    };

    int runs_;
    Services services_;
    QTemporaryDir dir_;
    std::string path_;
    mb::qt::MaterialBrowser browser_;
    std::vector<Figures> figures_;
};

/// Whether `action` names one of the words of `only`, which "|" separates: "Delete|drag"
/// runs two groups in their usual order, to see what one leaves the next.
bool Wanted(const char* only, const std::string& action) {
    if (!only) return true;
    std::string_view words(only);
    for (;;) {
        const std::size_t bar = words.find('|');
        if (action.find(words.substr(0, bar)) != std::string::npos) return true;
        if (bar == std::string_view::npos) return false;
        words.remove_prefix(bar + 1);
    }
}

void Run(Bench& b, const char* only) {
    const auto wanted = [&](const std::string& a) { return Wanted(only, a); };
    // Two neighbours in the first category, shown alternately.
    const auto clickAlternately = [&b](int i) { b.clickNode(1 + i % 2); };
    const auto scrollToBoth = [&b](int) {
        b.nodePoint(1);
        b.nodePoint(2);
    };
    // Material n shown and a new number typed into the row of `code` (the first row with a
    // value when empty), for the input to store or drop.
    const auto typingInto = [&b](int n, const QString& code = {}) {
        return [&b, n, code](int i) {
            b.clickNode(n);
            b.startValueEdit(i, code);
        };
    };
    const auto store = [&b](int) { b.storeValue(); };

    if (wanted("Check Library, first opening")) {
        b.measure(
            "Check Library, first opening", [&b](int) { b.close(), b.open(); },
            [&b](int) { b.item("checkLibrary")->trigger(); });
    }
    if (wanted("Check Library, again")) {
        b.measure("Check Library, again", {}, [&b](int) { b.item("checkLibrary")->trigger(); });
    }
    if (wanted("value edit")) {
        const auto prepare = typingInto(1);
        if (b.main().findChild<QDockWidget*>(QStringLiteral("checkDock"))) b.close(), b.open();
        b.measure("value edit (Enter), nothing else open", prepare, store);
        b.item("checkLibrary")->trigger();
        b.measure("value edit (Enter), Check Library list open", prepare, store);
        b.close(), b.open();
    }
    if (wanted("click a material")) {
        b.setType(12);
        b.measure("click a material, Viscoelastic chart shown", scrollToBoth, clickAlternately);
        b.setType(4);
        b.measure("click a material, plasticity chart shown", scrollToBoth, clickAlternately);
        // The same edit in the same grid rows, of a material with a relaxation curve and of
        // one without. The chart follows the value as it is typed, EX scaling the bulk
        // curve: each digit draws it again, and Enter stores what it already shows.
        b.setType(12);
        const auto digit = [&b](int) { b.type(QStringLiteral("5")); };
        const auto cancel = [&b](int) { b.press(Qt::Key_Escape); };
        for (const int n : {1, kNoCurve}) {
            const auto prepare = typingInto(n, QStringLiteral("EX"));
            const std::string shown = n == kNoCurve ? "no curve" : "chart shown";
            b.measure("a digit typed into EX, Viscoelastic, " + shown, prepare, digit, cancel);
            b.measure("value edit (Enter) of EX, Viscoelastic, " + shown, prepare, store);
        }
        b.setType(0);
    }
    if (wanted("switch units")) {
        b.clickNode(500);
        b.measure(
            "switch units", [&b](int) { b.editor().unitsCombo().setFocus(); },
            [&b](int i) { b.press(i % 2 ? Qt::Key_Up : Qt::Key_Down); });
    }
    if (wanted("Add to Comparison")) {
        // Columns 1 to 10, then the window closed and the columns removed, again.
        b.measure(
            "Add to Comparison (1 to 10 columns)",
            [&b](int i) {
                if (i % 10 == 0 && b.comparison()) {
                    mb::qt::ComparisonWindow* w = b.comparison();
                    auto* table = w->findChild<QTableWidget*>(QStringLiteral("comparisonTable"));
                    while (table->columnCount() > 3) {
                        table->selectColumn(2);
                        w->removeSelected();
                    }
                }
                b.clickNode(10 + i % 10);
                b.editor().TreeView1().setFocus();
            },
            [&b](int) { b.press(Qt::Key_D, Qt::ControlModifier); });
        // Ten compared materials, one of them edited.
        const auto prepare = typingInto(10);
        b.measure("value edit (Enter), 10 materials compared", prepare, store);
        // The same edit of the same material, the comparison closed.
        b.comparison()->close();
        b.measure("value edit (Enter), the same, comparison closed", prepare, store);
        b.close(), b.open();
    }
    if (wanted("Delete")) {
        b.measure(
            "Delete (Yes)",
            [&b](int) {
                b.clickNode(5);
                b.editor().TreeView1().setFocus();
                b.messages().queueAnswer(mb::MsgResult::Yes);
            },
            [&b](int) { b.press(Qt::Key_Delete); }, [&b](int) { b.item("undoMenu")->trigger(); });
        b.measure(
            "undo of a delete (Ctrl+Z)",
            [&b](int) {
                b.clickNode(5);
                b.editor().TreeView1().setFocus();
                b.messages().queueAnswer(mb::MsgResult::Yes);
                b.press(Qt::Key_Delete);
                Settle();
                b.editor().TreeView1().setFocus();
            },
            [&b](int) { b.press(Qt::Key_Z, Qt::ControlModifier); });
        b.messages().questions.clear();
    }
    if (wanted("drag")) {
        // Material 3 moved to the middle material's category, as its drop there does (the
        // drag itself runs a nested event loop of the window system), then taken back.
        b.measure(
            "undo of a drag (Ctrl+Z)",
            [&b](int) {
                mb::qt::QtTree& tree = b.editor().TreeView1();
                const int target = b.state().library.materialCount() / 2;
                const std::string category = b.state().library.entry(target).Category;
                mb::MoveMaterialToCategory(b.state(), tree, b.keyOf(3), category);
                Settle();
                tree.setFocus();
            },
            [&b](int) { b.press(Qt::Key_Z, Qt::ControlModifier); });
        b.messages().questions.clear();
    }
    if (wanted("Save")) {
        // One value edited, so that there is something to save; the disk's part runs on the
        // save's own thread and shows only if it repaints within the wait after the input.
        b.measure(
            "Save (Ctrl+S)",
            [&b, typed = typingInto(1)](int i) {
                typed(i);
                b.storeValue();
                b.editor().TreeView1().setFocus();
            },
            [&b](int) { b.press(Qt::Key_S, Qt::ControlModifier); });
    }
}

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    const char* only = nullptr;
    bool log = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--log"))
            log = true;
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else {
            std::fprintf(stderr, "usage: frame_bench [--runs N] [--only WORD] [--log]\n");
            return 2;
        }
    }
    ClockedApplication app(argc, argv);
    app.clock.start();
    app.log = log;
    try {
        Bench bench(std::max(runs, 1));
        std::printf("%-48s %7s %7s %7s %7s %7s %7s %7s %7s\n", "action (ms, input to repaint)",
                    "median", "p90", "max", "CPU med", "CPU p90", "frames", "own med", "own p90");
        Run(bench, only);
        bench.close();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "frame_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
