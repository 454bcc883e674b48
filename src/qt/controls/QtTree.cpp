#include "QtTree.h"

#include "KeptTextDelegate.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "QtText.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

// Resources of a static library are brought in by name, outside any namespace.
static void initTreeResources() {
    Q_INIT_RESOURCE(tree);
}

namespace mb::qt {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr const char* kNodeMime = "application/x-material-node";

// Hands the text typed into a label editor to the tree's owner, which sets the label
// itself when it takes the name (it may store it otherwise than typed).
class LabelEditDelegate : public KeptTextDelegate {
public:
    explicit LabelEditDelegate(QtTree* tree) : KeptTextDelegate(tree), tree_(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || !tree_->labelEditHandler) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        tree_->labelEditHandler(fromQ(index.data(kKeyRole).toString()), fromQ(line->text()));
    }

private:
    QtTree* tree_;
};

} // namespace

QtTree::QtTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new LabelEditDelegate(this));
    // The view's own item dragging stays off: drags are started and dropped by the form
    // logic. Setting the mode switches drops off as well, so they are let in afterwards.
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setUniformRowHeights(true);

    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        // The press that selected this node has reported it already.
        if (std::exchange(clickReportedOnPress_, false)) return;
        emit nodeClicked(item->data(0, kKeyRole).toString());
    });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        emit nodeExpanded(item->data(0, kKeyRole).toString());
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        emit nodeCollapsed(item->data(0, kKeyRole).toString());
    });
}

// Every item of the tree is one of these. The key is kept as the form logic spells it, so
// that following a thousand renumbered materials neither converts a key nor tells the view
// of a change it does not draw.
class QtTree::Node : public QTreeWidgetItem {
public:
    explicit Node(std::string nodeKey) : key(std::move(nodeKey)) {}
    QVariant data(int column, int role) const override {
        return role == kKeyRole ? QVariant(toQ(key)) : QTreeWidgetItem::data(column, role);
    }
    std::string key;
};

const std::string& QtTree::keyOf(const QTreeWidgetItem* item) {
    return static_cast<const Node*>(item)->key;
}

QIcon QtTree::treeIcon(const QString& name) {
    initTreeResources();
    const QString file = QStringLiteral(":/tree/%1.svg").arg(name);
    QIcon icon(file);
    // The style would tint the picture of the selected row; the pictures carry their own
    // meaning ("leaf1" is the selection), so they are drawn as they are.
    icon.addFile(file, QSize(), QIcon::Selected);
    return icon;
}

QTreeWidgetItem* QtTree::itemForKey(const std::string& key) const {
    const auto found = items_.find(key);
    return found == items_.end() ? nullptr : found->second;
}

QTreeWidgetItem* QtTree::newItem(const std::string& key, const std::string& text,
                                 const std::string& image) {
    auto* item = new Node(key);
    item->setText(0, toQ(text));
    item->setData(0, kImageRole, toQ(image));
    if (labelEditing_) item->setFlags(item->flags() | Qt::ItemIsEditable);
    applyIcon(item);
    items_.emplace(key, item);
    return item;
}

bool QtTree::addNode(const std::optional<std::string>& parentKey, const std::string& key,
                     const std::string& text, const std::string& image) {
    if (items_.contains(key)) return false;
    QTreeWidgetItem* parent = nullptr;
    if (parentKey) {
        parent = itemForKey(*parentKey);
        if (!parent) return false;
    }
    QTreeWidgetItem* item = newItem(key, text, image);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return true;
}

bool QtTree::insertNode(const std::string& parentKey, int index, const std::string& key,
                        const std::string& text, const std::string& image) {
    QTreeWidgetItem* parent = itemForKey(parentKey);
    if (items_.contains(key) || !parent) return false;
    parent->insertChild(std::clamp(index, 0, parent->childCount()), newItem(key, text, image));
    return true;
}

bool QtTree::setNodeKeys(const std::vector<std::pair<std::string, std::string>>& renames) {
    // Checked whole before anything changes: a new key may be one another node gives up.
    std::unordered_set<std::string_view> given, taken;
    given.reserve(renames.size());
    taken.reserve(renames.size());
    for (const auto& [from, to] : renames)
        if (!items_.contains(from) || !given.insert(from).second || !taken.insert(to).second)
            return false;
    for (const auto& [from, to] : renames)
        if (items_.contains(to) && !given.contains(to)) return false;
    std::vector<decltype(items_)::node_type> moved;
    moved.reserve(renames.size());
    for (const auto& [from, to] : renames)
        moved.push_back(items_.extract(from));
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const std::string& to = renames[i].second;
        static_cast<Node*>(moved[i].mapped())->key = to;
        moved[i].key() = to;
        items_.insert(std::move(moved[i]));
    }
    return true;
}

void QtTree::removeAll() {
    highlighted_ = nullptr;
    items_.clear();
    clear();
}

bool QtTree::removeNode(const std::string& key) {
    QTreeWidgetItem* item = itemForKey(key);
    if (!item) return false;
    const std::function<void(QTreeWidgetItem*)> forget = [&](QTreeWidgetItem* it) {
        if (it == highlighted_) highlighted_ = nullptr;
        items_.erase(keyOf(it));
        for (int i = 0; i < it->childCount(); ++i)
            forget(it->child(i));
    };
    forget(item);
    // The view selects the next row in place of a removed selected one and scrolls to it,
    // which lays out every row of the tree first (2 ms for a material moved away). Whoever
    // removes the selected node shows, and scrolls to, what comes next.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    delete item;
    setAutoScroll(scrolls);
    return true;
}

bool QtTree::exists(const std::string& key) const {
    return items_.contains(key);
}

std::optional<std::string> QtTree::selectedKey() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return keyOf(selected.first());
}

bool QtTree::select(const std::string& key) {
    QTreeWidgetItem* item = itemForKey(key);
    if (!item) return false;
    setCurrentItem(item);
    return true;
}

std::string QtTree::nodeText(const std::string& key) const {
    const QTreeWidgetItem* item = itemForKey(key);
    return item ? fromQ(item->text(0)) : std::string();
}

void QtTree::setNodeText(const std::string& key, const std::string& text) {
    if (QTreeWidgetItem* item = itemForKey(key)) item->setText(0, toQ(text));
}

std::optional<std::string> QtTree::parentKey(const std::string& key) const {
    const QTreeWidgetItem* item = itemForKey(key);
    if (!item || !item->parent()) return std::nullopt;
    return keyOf(item->parent());
}

int QtTree::childCount(const std::string& key) const {
    const QTreeWidgetItem* item = itemForKey(key);
    return item ? item->childCount() : 0;
}

std::vector<std::string> QtTree::keysInOrder() const {
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(items_.size()));
    for (int t = 0; t < topLevelItemCount(); ++t) {
        const QTreeWidgetItem* top = topLevelItem(t);
        keys.push_back(keyOf(top));
        for (int c = 0; c < top->childCount(); ++c)
            keys.push_back(keyOf(top->child(c)));
    }
    return keys;
}

std::vector<TreeBranch> QtTree::branches() const {
    std::vector<TreeBranch> out;
    out.reserve(static_cast<std::size_t>(topLevelItemCount()));
    for (int t = 0; t < topLevelItemCount(); ++t) {
        const QTreeWidgetItem* top = topLevelItem(t);
        TreeBranch& branch = out.emplace_back(TreeBranch{keyOf(top), {}});
        branch.leaves.reserve(static_cast<std::size_t>(top->childCount()));
        for (int c = 0; c < top->childCount(); ++c) {
            const QTreeWidgetItem* leaf = top->child(c);
            branch.leaves.push_back({keyOf(leaf), fromQ(leaf->text(0))});
        }
    }
    return out;
}

void QtTree::applyIcon(QTreeWidgetItem* item) {
    item->setIcon(0, images_.value(item->data(0, kImageRole).toString()));
}

void QtTree::setImage(const std::string& key, const std::string& image) {
    QTreeWidgetItem* item = itemForKey(key);
    if (!item) return;
    item->setData(0, kImageRole, toQ(image));
    applyIcon(item);
}

std::string QtTree::image(const std::string& key) const {
    const QTreeWidgetItem* item = itemForKey(key);
    return item ? fromQ(item->data(0, kImageRole).toString()) : std::string();
}

void QtTree::ensureVisible(const std::string& key) {
    if (QTreeWidgetItem* item = itemForKey(key)) scrollToItem(item);
}

void QtTree::setNodeHidden(const std::string& key, bool hidden) {
    // Hiding lays the whole tree out again on a timer, a frame after the repaint, even when
    // nothing changes: a filter applied again to every node would cost a frame.
    QTreeWidgetItem* item = itemForKey(key);
    if (item && item->isHidden() != hidden) item->setHidden(hidden);
}

void QtTree::setNodeGreyed(const std::string& key, bool greyed) {
    if (QTreeWidgetItem* item = itemForKey(key))
        item->setForeground(0, greyed ? palette().brush(QPalette::Disabled, QPalette::Text)
                                      : QBrush());
}

bool QtTree::isExpanded(const std::string& key) const {
    const QTreeWidgetItem* item = itemForKey(key);
    return item && item->isExpanded();
}

void QtTree::setExpanded(const std::string& key, bool expanded) {
    if (QTreeWidgetItem* item = itemForKey(key)) item->setExpanded(expanded);
}

void QtTree::editLabel(const std::string& key) {
    QTreeWidgetItem* item = itemForKey(key);
    if (!item || !labelEditing_) return;
    scrollToItem(item);
    setFocus(Qt::OtherFocusReason);
    editItem(item, 0);
}

void QtTree::setDropHighlight(const std::optional<std::string>& key) {
    QTreeWidgetItem* item = key ? itemForKey(*key) : nullptr;
    if (item == highlighted_) return;
    if (highlighted_) highlighted_->setBackground(0, QBrush());
    highlighted_ = item;
    if (highlighted_) {
        QColor color = palette().color(QPalette::Highlight);
        color.setAlpha(90);
        highlighted_->setBackground(0, color);
    }
}

std::optional<std::string> QtTree::dropHighlight() const {
    if (!highlighted_) return std::nullopt;
    return keyOf(highlighted_);
}

std::optional<std::string> QtTree::hitTest(int x, int y) const {
    const QPoint point(x, y);
    QTreeWidgetItem* item = itemAt(point);
    // Only the node's own picture and label count, not the indentation in front of it.
    if (!item || !visualItemRect(item).contains(point)) return std::nullopt;
    return keyOf(item);
}

void QtTree::loadImages() {
    for (const char* name : {"closedbook", "openbook", "leaf", "leaf1", "drag"})
        images_.insert(QString::fromLatin1(name), treeIcon(QString::fromLatin1(name)));
    for (const auto& [key, item] : items_)
        applyIcon(item);
}

void QtTree::clearImages() {
    images_.clear();
    for (const auto& [key, item] : items_)
        applyIcon(item);
}

void QtTree::beginDrag(const std::string& dragImage) {
    dragImage_ = toQ(dragImage);
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kNodeMime), QByteArray());
    drag->setMimeData(mime);
    const QIcon icon = treeIcon(dragImage_);
    if (!icon.isNull()) drag->setPixmap(icon.pixmap(32, 32));
    // Runs until the drop (or the drag is abandoned); drag-over and drop are reported
    // from inside this call.
    drag->exec(Qt::MoveAction);
    // The drag took the button's release, so the view never saw the press end and would
    // go on selecting by dragging: its next press would select nothing and report no click.
    setState(QAbstractItemView::NoState);
    leftPressedAt_.reset();
}

void QtTree::setDragImage(const std::string& dragImage) {
    dragImage_ = toQ(dragImage);
}

void QtTree::endDrag() {
    dragImage_.clear();
}

void QtTree::setLabelEditing(bool enabled) {
    labelEditing_ = enabled;
    for (const auto& [key, item] : items_)
        item->setFlags(enabled ? item->flags() | Qt::ItemIsEditable
                               : item->flags() & ~Qt::ItemIsEditable);
}

void QtTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftPressedAt_ = event->position().toPoint();
    // The right button only pops up the menu: moving the selection there would leave the
    // boxes and the grid showing one material while the menu's commands act on another.
    if (event->button() != Qt::RightButton) {
        QTreeWidgetItem* before = currentItem();
        QTreeWidgetItem* hit = itemAt(event->position().toPoint());
        QTreeWidget::mousePressEvent(event);
        // A press selects at once; if it becomes a drag there is no click to report it, and
        // the boxes would go on showing the node selected before.
        clickReportedOnPress_ = false;
        if (event->button() == Qt::LeftButton && hit && currentItem() == hit && hit != before) {
            clickReportedOnPress_ = true;
            emit nodeClicked(hit->data(0, kKeyRole).toString());
        }
    }
    emit mousePressed(event->button(), event->modifiers(), event->position().toPoint(),
                      event->globalPosition().toPoint());
}

void QtTree::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) leftPressedAt_.reset();
    if (leftPressedAt_) {
        // Held down, the button moves a material, never the selection: the view would
        // select each row the pointer crosses, and the row pressed is the one that goes.
        emit mouseMoved(event->buttons(), event->modifiers(), *leftPressedAt_);
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
    emit mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void QtTree::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftPressedAt_.reset();
    QTreeWidget::mouseReleaseEvent(event);
}

void QtTree::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        const QKeyCombination key = event->keyCombination();
        if (key == QKeyCombination(Qt::Key_F2)) {
            emit renameKeyPressed();
            return;
        }
        if (key == QKeyCombination(Qt::Key_Delete)) {
            emit deleteKeyPressed();
            return;
        }
        if (key == QKeyCombination(Qt::Key_Menu) ||
            key == QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)) {
            emit menuKeyPressed(menuPoint());
            return;
        }
    }
    const QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    // Moving through the tree with the keys selects as a click does.
    if (QTreeWidgetItem* now = currentItem(); now && now != before)
        emit nodeClicked(now->data(0, kKeyRole).toString());
}

void QtTree::contextMenuEvent(QContextMenuEvent* event) {
    // The window system turns the Menu key into this on some desktops; the mouse's right
    // button is handled where it is pressed.
    if (event->reason() == QContextMenuEvent::Keyboard) emit menuKeyPressed(menuPoint());
    event->accept();
}

QPoint QtTree::menuPoint() const {
    // Beside the selected node's label, where a right click on it would have been.
    const QTreeWidgetItem* item = currentItem();
    const QRect rect = item ? visualItemRect(item) : QRect();
    const QPoint local =
        rect.isValid() ? QPoint(rect.left() + 24, rect.bottom()) : viewport()->rect().topLeft();
    return viewport()->mapToGlobal(local);
}

void QtTree::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QString::fromLatin1(kNodeMime)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void QtTree::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(kNodeMime))) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit dragOver(event->position().toPoint());
}

void QtTree::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(kNodeMime))) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit dropped(event->position().toPoint());
}

} // namespace mb::qt
