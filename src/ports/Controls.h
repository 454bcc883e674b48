#pragma once

// What the form logic needs of the windowing toolkit, as small interfaces. The Qt
// widgets implement them and forward their signals to the logic; the tests use the
// in-memory fakes under tests/. Nothing here knows about Qt.
//
// Texts are 8-bit library text: one byte per character, passed through unchanged.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mb {

/// Anything that can be shown and hidden.
class Visibility {
public:
    virtual ~Visibility() = default;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
};

/// A container that shows or hides what it holds (the value panel around the grid).
class Frame : public Visibility {};

class Button : public Visibility {
public:
    virtual std::string caption() const = 0;
};

class Label : public Visibility {
public:
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
};

class TextBox : public Visibility {
public:
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setFocus() = 0;
    virtual void setSelLength(int length) = 0;
    /// At most `length` characters can be typed, pasted or set; a longer text is cut.
    virtual void setMaxLength(int length) = 0;
    /// What the box holds has gone into the library: the box's own undo starts afresh
    /// here, so that Ctrl+Z takes back only what is typed from now on.
    virtual void markStored() = 0;
};

/// A drop-down list. Setting the list index programmatically never runs the logic's
/// click handler: the logic calls it itself where a selection must act like a choice.
class ComboBox : public Visibility {
public:
    virtual void clear() = 0;
    virtual void addItem(const std::string& text) = 0;
    virtual int count() const = 0;
    /// -1 when nothing is selected.
    virtual int listIndex() const = 0;
    virtual void setListIndex(int index) = 0;
};

/// What a check found about the value in a grid row.
enum class RowMark { None, Warning, Error };

/// The property grid: rows and columns from 0, row 0 the header.
class GridControl : public Visibility {
public:
    virtual void setRows(int rows) = 0;
    virtual int rows() const = 0;
    virtual void setCols(int cols) = 0;
    virtual int row() const = 0;
    virtual int col() const = 0;
    virtual void setCurrentCell(int row, int col) = 0;
    /// Text of the current cell.
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual std::string textMatrix(int row, int col) const = 0;
    virtual void clear() = 0;
    virtual void autoSizeColumn(int col) = 0;
    /// Opens the cell editor on the current cell.
    virtual void editCell() = 0;
    /// Closes an open cell editor without committing it, so it cannot survive a rebuild.
    virtual void finishEditing() = 0;
    /// Marks row `row` (from 1) with a sign of `mark` and `tip` as its tooltip; a rebuild
    /// clears every mark.
    virtual void setRowMark(int row, RowMark mark, const std::string& tip) = 0;
};

/// Lines over a shared x for a chart, with what the axes say.
struct ChartPlot {
    struct Series {
        std::string name;
        std::vector<double> y;
        bool operator==(const Series&) const = default;
    };
    std::string title;
    std::string xLabel, yLabel;
    bool logX = false;  ///< x on a logarithmic axis
    bool polar = false; ///< x an angle in degrees, y the radius
    std::vector<double> x;
    std::vector<Series> series;
    bool operator==(const ChartPlot&) const = default;
};

/// A chart pane: a plot, or a short note where there is nothing to plot.
class ChartControl : public Visibility {
public:
    virtual void showPlot(const ChartPlot& plot) = 0;
    virtual void showNote(const std::string& note) = 0;
};

/// A category node with its material nodes, keys and labels as the tree holds them.
struct TreeBranch {
    struct Leaf {
        std::string key, text;
    };
    std::string key;
    std::vector<Leaf> leaves;
};

/// The two-level tree of categories and materials, addressed by node key.
class TreeControl : public Visibility {
public:
    /// Adds a node at the top level (`parentKey` empty optional) or under `parentKey`.
    /// False, and nothing added, when the key exists or the parent does not.
    virtual bool addNode(const std::optional<std::string>& parentKey, const std::string& key,
                         const std::string& text, const std::string& image) = 0;
    /// Adds a node as child number `index` of `parentKey` (after the last when `index` is
    /// past it). False, and nothing added, as for addNode.
    virtual bool insertNode(const std::string& parentKey, int index, const std::string& key,
                            const std::string& text, const std::string& image) = 0;
    /// Gives nodes new keys, all at once, so a new key may be one another node gives up;
    /// labels, places and images stay. False, and nothing changed, when an old key names no
    /// node or two nodes would share a key, or when the tree cannot keep its own rules
    /// through it (the caller then builds the tree afresh).
    virtual bool setNodeKeys(const std::vector<std::pair<std::string, std::string>>& renames) = 0;
    virtual void removeAll() = 0;
    virtual bool removeNode(const std::string& key) = 0;
    virtual int nodeCount() const = 0;
    virtual bool exists(const std::string& key) const = 0;

    virtual std::optional<std::string> selectedKey() const = 0;
    virtual bool select(const std::string& key) = 0;
    virtual std::string nodeText(const std::string& key) const = 0;
    virtual void setNodeText(const std::string& key, const std::string& text) = 0;
    /// Key of the parent, or nullopt for a top-level (or missing) node.
    virtual std::optional<std::string> parentKey(const std::string& key) const = 0;
    virtual int childCount(const std::string& key) const = 0;
    /// Keys in display order: each category followed by its materials.
    virtual std::vector<std::string> keysInOrder() const = 0;
    /// The whole tree in display order: what keysInOrder, parentKey and nodeText tell node
    /// by node, in one walk, for those who follow every node of a large library.
    virtual std::vector<TreeBranch> branches() const {
        std::vector<TreeBranch> out;
        for (std::string& key : keysInOrder()) {
            if (!parentKey(key)) {
                out.push_back({std::move(key), {}});
            } else if (!out.empty()) {
                std::string text = nodeText(key);
                out.back().leaves.push_back({std::move(key), std::move(text)});
            }
        }
        return out;
    }

    virtual void setImage(const std::string& key, const std::string& image) = 0;
    /// Opens the node's parent if needed and scrolls the node into view.
    virtual void ensureVisible(const std::string& key) = 0;
    /// Whether a category node shows its materials.
    virtual bool isExpanded(const std::string& key) const = 0;
    virtual void setExpanded(const std::string& key, bool expanded) = 0;
    /// A hidden node is left out of the view but stays in the tree: every other operation
    /// still finds it. Hiding a category hides its materials with it. Nodes start shown.
    virtual void setNodeHidden(const std::string& key, bool hidden) = 0;
    /// A greyed node is drawn in the colour of disabled text; nodes start in the normal one.
    virtual void setNodeGreyed(const std::string& key, bool greyed) = 0;

    /// Opens the label editor on the node; the window reports what is typed there as a
    /// finished label edit, and nothing when the editor is left with Esc.
    virtual void editLabel(const std::string& key) = 0;

    virtual void setDropHighlight(const std::optional<std::string>& key) = 0;
    virtual std::optional<std::string> dropHighlight() const = 0;
    /// Key of the node at a point in the tree's coordinates, nullopt over no node.
    virtual std::optional<std::string> hitTest(int x, int y) const = 0;

    virtual void loadImages() = 0;
    virtual void clearImages() = 0;
    virtual void beginDrag(const std::string& dragImage) = 0;
    virtual void setDragImage(const std::string& dragImage) = 0;
    virtual void endDrag() = 0;
};

/// The application's title: the main window's, the about box's, and a message box's when
/// it names none.
inline constexpr const char* kApplicationTitle = "VELTRA/M Material Browser";

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation };
enum class MsgResult { OK, Cancel, Yes, No, Retry };

/// Modal message boxes. An empty title means the application title.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MsgResult show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                           const std::string& title = "") = 0;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    /// `filter` uses the "Description|pattern|Description|pattern" form. nullopt on cancel.
    virtual std::optional<std::string> openFile(const std::string& title,
                                                const std::string& filter) = 0;
    /// Asks before overwriting an existing file. nullopt on cancel. A non-empty
    /// `proposedPath` is where the dialog starts: its folder, and its name typed in.
    virtual std::optional<std::string> saveFile(const std::string& title, const std::string& filter,
                                                const std::string& proposedPath) = 0;
};

/// A pop-up menu shown at a point (the editor's "&Edit" menu).
class PopupMenu {
public:
    virtual ~PopupMenu() = default;
    virtual void popup(int globalX, int globalY) = 0;
};

} // namespace mb
