#pragma once

#include "Controls.h"

#include <QIcon>
#include <QMap>
#include <QTreeWidget>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

namespace mb::qt {

/// The category and material tree over a QTreeWidget. Each item carries its node key;
/// a key -> item hash finds nodes without walking the tree. Images are named ("leaf",
/// "openbook", ...) and drawn from the program's tree pictures once `loadImages` ran.
///
/// Coordinates given to and reported by the tree are those of its item area (viewport).
class QtTree : public QTreeWidget, public TreeControl {
    Q_OBJECT
public:
    explicit QtTree(QWidget* parent = nullptr);

    void setVisible(bool visible) override { QTreeWidget::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    bool addNode(const std::optional<std::string>& parentKey, const std::string& key,
                 const std::string& text, const std::string& image) override;
    bool insertNode(const std::string& parentKey, int index, const std::string& key,
                    const std::string& text, const std::string& image) override;
    bool setNodeKeys(const std::vector<std::pair<std::string, std::string>>& renames) override;
    void removeAll() override;
    bool removeNode(const std::string& key) override;
    int nodeCount() const override { return static_cast<int>(items_.size()); }
    bool exists(const std::string& key) const override;

    std::optional<std::string> selectedKey() const override;
    bool select(const std::string& key) override;
    std::string nodeText(const std::string& key) const override;
    void setNodeText(const std::string& key, const std::string& text) override;
    std::optional<std::string> parentKey(const std::string& key) const override;
    int childCount(const std::string& key) const override;
    std::vector<std::string> keysInOrder() const override;
    std::vector<TreeBranch> branches() const override;

    void setImage(const std::string& key, const std::string& image) override;
    std::string image(const std::string& key) const;
    void ensureVisible(const std::string& key) override;
    bool isExpanded(const std::string& key) const override;
    void setExpanded(const std::string& key, bool expanded) override;
    void setNodeHidden(const std::string& key, bool hidden) override;
    void setNodeGreyed(const std::string& key, bool greyed) override;

    void editLabel(const std::string& key) override;
    void setDropHighlight(const std::optional<std::string>& key) override;
    std::optional<std::string> dropHighlight() const override;
    std::optional<std::string> hitTest(int x, int y) const override;

    void loadImages() override;
    void clearImages() override;
    void beginDrag(const std::string& dragImage) override;
    void setDragImage(const std::string& dragImage) override;
    void endDrag() override;

    /// The item of a key, nullptr when there is none (for tests and the window).
    QTreeWidgetItem* itemForKey(const std::string& key) const;
    /// The picture behind an image name ("closedbook", "openbook", "leaf", "leaf1", "drag").
    static QIcon treeIcon(const QString& name);

    /// Turns in-place renaming on: `editLabel` opens a node's label editor, and
    /// `labelEditHandler` receives the typed text. No click opens it: a click on the selected
    /// node is a click, and F2 is reported as `renameKeyPressed` for the command to decide.
    void setLabelEditing(bool enabled);
    /// Receives the node's key and the typed text. The label changes only through
    /// setNodeText, so a refused edit leaves the old label.
    std::function<void(const std::string& key, const std::string& newText)> labelEditHandler;

signals:
    /// The user selected a node, with the mouse or the keyboard.
    void nodeClicked(const QString& key);
    void nodeExpanded(const QString& key);
    void nodeCollapsed(const QString& key);
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos,
                      QPoint globalPos);
    /// While the left button is held, `pos` is where it went down, not where the pointer
    /// is: a drag then takes the node pressed, whichever row the pointer has reached by the
    /// time its first movement is reported.
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void dragOver(QPoint pos);
    void dropped(QPoint pos);
    /// F2, the Delete key, and the Menu key or Shift+F10 (with the point on the screen
    /// where the selected node is) pressed in the tree.
    void renameKeyPressed();
    void deleteKeyPressed();
    void menuKeyPressed(QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Node;
    static const std::string& keyOf(const QTreeWidgetItem* item);
    QPoint menuPoint() const;
    void applyIcon(QTreeWidgetItem* item);
    QTreeWidgetItem* newItem(const std::string& key, const std::string& text,
                             const std::string& image);

    std::unordered_map<std::string, QTreeWidgetItem*> items_;
    QMap<QString, QIcon> images_;
    QTreeWidgetItem* highlighted_ = nullptr;
    QString dragImage_;
    bool clickReportedOnPress_ = false;
    bool labelEditing_ = false;
    std::optional<QPoint> leftPressedAt_;
};

} // namespace mb::qt
