// The real tree's keyed nodes: new keys given all at once, the whole tree read in one walk,
// and a selected node removed without the view scrolling.
#include "QtTree.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace mb::test {

class QtTreeTest : public QObject {
    Q_OBJECT

    using Renames = std::vector<std::pair<std::string, std::string>>;

    /// Two categories of materials "a0", "a1", ... keyed "A...0000", "A...0001".
    static void fill(qt::QtTree& tree, int materials) {
        for (const char* category : {"A", "B"}) {
            tree.addNode(std::nullopt, category, category, "closedbook");
            for (int i = 0; i < materials; ++i) {
                const std::string n = std::to_string(i);
                tree.addNode(category, category + n, category + std::string(" ") + n, "leaf");
            }
        }
    }
    /// What the tree holds, node by node, through the calls that ask for one node each.
    static std::vector<std::string> described(const qt::QtTree& tree) {
        std::vector<std::string> out;
        for (const std::string& key : tree.keysInOrder())
            out.push_back(tree.parentKey(key).value_or("-") + "/" + key + "=" + tree.nodeText(key));
        return out;
    }

private slots:
    void newKeysAreGivenAllAtOnceOrNotAtAll() {
        qt::QtTree tree;
        fill(tree, 3);
        // A key another node gives up, in the same call: the first two swap keys.
        QVERIFY(tree.setNodeKeys({{"A0", "A1"}, {"A1", "A0"}, {"A2", "A7"}}));
        QCOMPARE(tree.nodeText("A0"), std::string("A 1"));
        QCOMPARE(tree.nodeText("A1"), std::string("A 0"));
        QCOMPARE(tree.nodeText("A7"), std::string("A 2"));
        QVERIFY(!tree.exists("A2"));
        QCOMPARE(tree.keysInOrder(),
                 (std::vector<std::string>{"A", "A1", "A0", "A7", "B", "B0", "B1", "B2"}));
        // What a click reports is the node's new key.
        QSignalSpy clicks(&tree, &qt::QtTree::nodeClicked);
        tree.setExpanded("A", true);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QRect row = tree.visualItemRect(tree.itemForKey("A7"));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.first().first().toString(), QStringLiteral("A7"));

        // Refused whole: a key no node has, a node renamed twice, a key taken by a node
        // that keeps it, two nodes given one key.
        const std::vector<std::string> before = described(tree);
        for (const Renames& refused :
             {Renames{{"B0", "B9"}, {"nothing", "B8"}}, Renames{{"B0", "B8"}, {"B0", "B9"}},
              Renames{{"B0", "B8"}, {"B1", "B2"}}, Renames{{"B0", "B8"}, {"B1", "B8"}}}) {
            QVERIFY(!tree.setNodeKeys(refused));
            QCOMPARE(described(tree), before);
            QCOMPARE(tree.nodeCount(), 8);
        }
        QVERIFY(tree.exists("B0") && tree.exists("B1") && !tree.exists("B8"));
    }

    void theWholeTreeInOneWalkIsWhatItsNodesTellOneByOne() {
        qt::QtTree tree;
        fill(tree, 4);
        tree.addNode(std::nullopt, "C", "C", "closedbook"); // a category with no material
        tree.setNodeText("B2", "renamed in place");
        tree.setNodeKeys({{"A3", "A9"}});
        // The walk is the real tree's own; the interface's answer is made of the calls
        // that ask node by node, as other trees give it.
        const auto flat = [](const std::vector<TreeBranch>& branches) {
            std::vector<std::string> out;
            for (const TreeBranch& b : branches) {
                out.push_back("-/" + b.key + "=" + b.key);
                for (const TreeBranch::Leaf& leaf : b.leaves)
                    out.push_back(b.key + "/" + leaf.key + "=" + leaf.text);
            }
            return out;
        };
        QCOMPARE(flat(tree.branches()), described(tree));
        QCOMPARE(flat(tree.TreeControl::branches()), described(tree));
        QCOMPARE(tree.branches().size(), std::size_t(3));
        QVERIFY(tree.branches().back().leaves.empty());
    }

    void removingTheSelectedNodeDoesNotScroll() {
        qt::QtTree tree;
        fill(tree, 200);
        tree.setExpanded("A", true);
        tree.resize(200, 300);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        // Selected, then scrolled away from: the next row takes the selection, out of view.
        QVERIFY(tree.select("A5"));
        tree.verticalScrollBar()->setValue(tree.verticalScrollBar()->maximum());
        const int place = tree.verticalScrollBar()->value();
        QVERIFY(place > 0);
        QSignalSpy clicks(&tree, &qt::QtTree::nodeClicked);
        QVERIFY(tree.removeNode("A5"));
        QCOMPARE(tree.selectedKey(), std::optional<std::string>("A6"));
        QCOMPARE(tree.verticalScrollBar()->value(), place);
        QCOMPARE(clicks.size(), 0);
        // Removing a category that holds the selection takes the selection with it.
        QVERIFY(tree.select("B150"));
        QVERIFY(tree.removeNode("B"));
        QVERIFY(!tree.exists("B150"));
        QCOMPARE(tree.nodeCount(), 200);
        // The view still scrolls to a node selected afterwards.
        QVERIFY(tree.select("A7"));
        tree.ensureVisible("A7");
        QVERIFY(tree.verticalScrollBar()->value() < place);
    }
};

} // namespace mb::test

QTEST_MAIN(mb::test::QtTreeTest)
#include "QtTreeTest.moc"
