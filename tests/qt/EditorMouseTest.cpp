// The mouse in the editor window, in the whole application as a user meets it: a drag
// that moves nothing, clicks into the three boxes, and a click on the tree while a box
// holds a text that is too long.

#include "AppState.h"
#include "BaseFormWindow.h"
#include "EditorWindows.h"
#include "FakeServices.h"
#include "LibraryFile.h"
#include "MDIForm1.h"
#include "MaterialBrowser.h"
#include "QtControls.h"
#include "QtGrid.h"
#include "QtTree.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace mb::test {

class EditorMouseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<fake::FakeMessageBox> messages;
    std::unique_ptr<fake::FakeFileDialogs> dialogs;
    std::unique_ptr<fake::FakeSettingsBackend> settings;
    std::unique_ptr<qt::MaterialBrowser> browser;

    BaseFormWindow* editor() { return browser->editors().window(); }
    qt::QtTree* tree() { return editor()->findChild<qt::QtTree*>("TreeView1"); }
    qt::QtTextBox* box(const char* name) { return editor()->findChild<qt::QtTextBox*>(name); }
    QString text(const char* name) { return box(name)->QLineEdit::text(); }
    const Library& library() { return browser->state().library; }

    /// The node of a material by its visible name (the reader keeps two blanks after it).
    QTreeWidgetItem* materialNode(const char* name) {
        for (QTreeWidgetItemIterator it(tree()); *it; ++it)
            if ((*it)->parent() && (*it)->text(0).trimmed() == QLatin1String(name)) return *it;
        return nullptr;
    }
    QTreeWidgetItem* categoryNode(const char* name) {
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            if (tree()->topLevelItem(i)->text(0).trimmed() == QLatin1String(name))
                return tree()->topLevelItem(i);
        return nullptr;
    }
    QPoint pointOf(QTreeWidgetItem* item) {
        tree()->scrollToItem(item);
        return tree()->visualItemRect(item).center();
    }
    void clickNode(QTreeWidgetItem* item, Qt::MouseButton button = Qt::LeftButton) {
        QVERIFY(item);
        QTest::mouseClick(tree()->viewport(), button, {}, pointOf(item));
    }
    /// The category, name and description boxes' texts.
    QStringList allBoxes() {
        return {text("materialTypeText"), text("materialNameText"), text("descriptionText")};
    }
    /// A click inside a box, on its text rather than at its start.
    void clickInto(const char* name) {
        QTest::mouseClick(box(name), Qt::LeftButton, {}, QPoint(24, box(name)->height() / 2));
    }

    /// The tests' library in a file: Metals: 0 Steel, 1 Copper, 2 Brass; Polymers: 3 Nylon.
    QString writeLibrary() {
        Library made;
        for (auto [category, name] : {std::pair{"Metals", "Steel"},
                                      {"Metals", "Copper"},
                                      {"Metals", "Brass"},
                                      {"Polymers", "Nylon"}}) {
            clsMaterial record;
            record.MaterialType(category);
            record.MaterialName(name);
            record.MaterialDescription(std::string(name) + " bar");
            record.CopyProperty("EX", 1e11);
            made.AddMaterial({std::string(category) + "    ", "", name, std::string(name) + " bar"},
                             record, clsMaterial());
        }
        const std::string text = LibraryText(made, GroupByCategory(made));
        const QString path = dir->filePath("metals.lib");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    /// Starts the application with `messageBox` (the real one when null) and opens the
    /// library through the menu.
    void start(MessageBox* messageBox) {
        browser = std::make_unique<qt::MaterialBrowser>(
            qt::BrowserServices{messageBox, dialogs.get(), settings.get()});
        browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser->mainWindow()));
        dialogs->queuePath(writeLibrary().toStdString());
        browser->mainWindow().menuItem("fileOpenMenu")->trigger();
        QVERIFY(editor());
        QVERIFY(QTest::qWaitForWindowExposed(editor()));
        tree()->expandAll();
    }

private slots:
    void init() {
        // The recovery copies and locks of these runs stay out of the user's folders.
        QStandardPaths::setTestModeEnabled(true);
        dir = std::make_unique<QTemporaryDir>();
        messages = std::make_unique<fake::FakeMessageBox>();
        dialogs = std::make_unique<fake::FakeFileDialogs>();
        settings = std::make_unique<fake::FakeSettingsBackend>();

        start(messages.get());
    }

    void cleanup() {
        browser.reset();
        dir.reset();
    }

    void aDragThatMovesNothingLeavesTheNextClickWorking() {
        // Dropped on the material's own category, then on a sibling material.
        const std::pair<const char*, const char*> drops[] = {{"Copper", "Metals"},
                                                             {"Brass", nullptr}};
        for (const auto& [dragged, onCategory] : drops) {
            QTreeWidgetItem* source = materialNode(dragged);
            QTreeWidgetItem* target = onCategory ? categoryNode(onCategory) : materialNode("Steel");
            QVERIFY(source && target);
            const QPoint from = pointOf(source);
            QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0)); // starts the drag
            // The offscreen platform runs no drag loop of its own: the drop is delivered
            // here as the window system would. The drag takes the button's release, so
            // the tree never gets one.
            QMimeData mime;
            mime.setData(QStringLiteral("application/x-material-node"), QByteArray());
            const QPoint to = pointOf(target);
            QDragEnterEvent enter(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
            QDragMoveEvent move(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
            QDropEvent drop(to, Qt::MoveAction, &mime, Qt::LeftButton, {});
            for (QEvent* e : std::initializer_list<QEvent*>{&enter, &move, &drop})
                QApplication::sendEvent(tree()->viewport(), e);
            QCOMPARE(library().Entry(1).Category, std::string("Metals    "));
            QCOMPARE(library().Entry(2).Category, std::string("Metals    "));

            clickNode(materialNode("Nylon"));
            QCOMPARE(tree()->currentItem(), materialNode("Nylon"));
            QCOMPARE(text("materialNameText"), QStringLiteral("Nylon  "));
            QCOMPARE(text("descriptionText"), QStringLiteral("Nylon bar"));
            QVERIFY(!editor()->findChild<qt::QtGrid*>("VSFlexGrid1")->isHidden());
        }
    }

    void aClickIntoABoxSelectsItsWholeText() {
        clickNode(materialNode("Copper"));
        for (const char* name : {"materialTypeText", "materialNameText", "descriptionText"}) {
            clickInto(name);
            QVERIFY2(box(name)->hasFocus(), name);
            QCOMPARE(box(name)->selectedText(), box(name)->QLineEdit::text());
            QVERIFY2(!box(name)->selectedText().trimmed().isEmpty(), name);
            // Typing replaces the whole text.
            QTest::keyClicks(box(name), "Zinc");
            QCOMPARE(text(name), QStringLiteral("Zinc"));
        }
        // A second click into the box that has the focus puts the cursor where it lands.
        clickInto("materialNameText");
        QCOMPARE(box("materialNameText")->selectedText(), QStringLiteral("Zinc"));
        clickInto("materialNameText");
        QCOMPARE(box("materialNameText")->selectedText(), QString());

        // A box whose text fits keeps no press from where it goes: the divider moves.
        auto* splitter = editor()->findChild<QSplitter*>("splitter");
        QSplitterHandle* handle = splitter->handle(1);
        const int treeWidth = splitter->sizes().at(0);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(40, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(40, 0));
        QVERIFY(splitter->sizes().at(0) > treeWidth);
    }

    void aClickOnTheTreeAfterALengthMessageDoesNothing() {
        const std::tuple<const char*, QString, std::string> cases[] = {
            {"materialTypeText", QStringLiteral("  Category of 26 characters!  "),
             "Material Category name should be less than 25 characters long !"},
            {"materialNameText", QStringLiteral("A material name of 31 letters.."),
             "Material name should be less than 30 characters long"},
        };
        for (const auto& [name, typed, message] : cases) {
            clickNode(materialNode("Copper"));
            const std::size_t asked = messages->questions.size();
            clickInto(name);
            QTest::keyClicks(box(name), typed);
            // The three boxes as they are to stay: the one typed into, as typed.
            const QStringList boxes = allBoxes();

            for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
                clickNode(materialNode("Nylon"), button);
                QCOMPARE(messages->questions.size(), asked + 1);
                QCOMPARE(messages->questions.back().text, message);
                QCOMPARE(messages->questions.back().icon, MsgIcon::Critical);
                QCOMPARE(messages->questions.back().buttons, MsgButtons::OK);
                messages->questions.pop_back();
                QVERIFY2(box(name)->hasFocus(), name);
                QCOMPARE(tree()->currentItem(), materialNode("Copper"));
                QCOMPARE(tree()->selectedItems(), QList<QTreeWidgetItem*>{materialNode("Copper")});
                QCOMPARE(allBoxes(), boxes);
                QCOMPARE(text(name), typed);
                QVERIFY(editor()->findChild<qt::QtGrid*>("VSFlexGrid1")->isHidden());
                QVERIFY2(!QApplication::activePopupWidget(), "no pop-up menu either");
            }
            // Nor is a button pressed: the material is not added.
            auto* add = editor()->findChild<qt::QtButton*>("cmdNewMaterial");
            QVERIFY(!add->isHidden());
            QTest::mouseClick(add, Qt::LeftButton);
            QCOMPARE(messages->questions.size(), asked + 1);
            messages->questions.pop_back();
            QCOMPARE(library().LastMaterialIndex(), 3);
            QCOMPARE(allBoxes(), boxes);
            // Nor does a drag start from the refused press.
            const QPoint from = pointOf(materialNode("Steel"));
            QTest::mousePress(tree()->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(tree()->viewport(), from + QPoint(6, 0));
            QTest::mouseRelease(tree()->viewport(), Qt::LeftButton, {}, from + QPoint(6, 0));
            QCOMPARE(messages->questions.size(), asked + 1);
            messages->questions.pop_back();
            QCOMPARE(browser->state().doc.DraggedNodeKey, std::string());
            QCOMPARE(tree()->dropHighlight(), std::nullopt);

            // Once the text fits, the click goes through.
            box(name)->selectAll();
            QTest::keyClicks(box(name), "Bronze");
            clickNode(materialNode("Nylon"));
            QCOMPARE(messages->questions.size(), asked);
            QCOMPARE(text("materialNameText"), QStringLiteral("Nylon  "));
            QCOMPARE(tree()->currentItem(), materialNode("Nylon"));
        }
    }

    void theRealMessageBoxKeepsTheClickFromTheTreeAsWell() {
        // While the box is up the window is not active: the focus comes back to the
        // category box only once the message has been answered.
        browser.reset();
        start(nullptr);
        clickNode(materialNode("Copper"));
        clickInto("materialTypeText");
        QTest::keyClicks(box("materialTypeText"), "Category of 26 characters!");
        QString shown;
        QTimer::singleShot(0, this, [&shown] {
            auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(message);
            shown = message->text();
            message->button(QMessageBox::Ok)->click();
        });
        clickNode(materialNode("Nylon"));
        QCOMPARE(shown,
                 QStringLiteral("Material Category name should be less than 25 characters long !"));
        // The offscreen platform does not activate the window again by itself.
        QCOMPARE(editor()->window()->focusWidget(), box("materialTypeText"));
        QCOMPARE(tree()->currentItem(), materialNode("Copper"));
        QCOMPARE(allBoxes(),
                 QStringList({QStringLiteral("Category of 26 characters!"),
                              QStringLiteral("Copper  "), QStringLiteral("Copper bar")}));
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::EditorMouseTest)
#include "EditorMouseTest.moc"
