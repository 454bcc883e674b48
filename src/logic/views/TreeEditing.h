#pragma once

#include <string>

namespace mb {

struct AppState;
class BaseForm;
class MessageBox;
class PopupMenu;

inline constexpr const char* kCannotRenameCategory = "Cannot rename a Category !";
inline constexpr const char* kMaterialExists =
    "Material already exits. Please enter a different name!";
inline constexpr const char* kDragPicture = "drag";

/// Mouse buttons as bit flags: one flag for a press, any combination for the buttons
/// held while the mouse moves.
enum MouseButton : unsigned { NoButton = 0, LeftButton = 1, RightButton = 2, MiddleButton = 4 };

/// The editor's mouse gestures: renaming a material in place, the right-button pop-up
/// menu over the tree, the value panel and the window's background, and dragging a
/// material onto another category. The widgets forward their notifications here;
/// selecting, expanding and collapsing stay with `BaseForm`.
class TreeEditing {
public:
    /// `editMenu` is the editor window's "&Edit" menu, shown as the pop-up.
    TreeEditing(AppState& state, BaseForm& form, MessageBox& messages, PopupMenu& editMenu);

    /// The user finished editing the selected node's label with `newText`. Returns true when
    /// the rename is accepted (the node then shows the trimmed name, as stored); false when
    /// the old label stays: a name that exists, or one that cannot go
    /// into a library (a control character, more than 30 characters).
    bool TreeView1_AfterLabelEdit(const std::string& newText);
    /// A mouse button went down at (x, y); the right button shows the "&Edit" menu there.
    /// The position is handed to the menu as it comes, so pass screen coordinates.
    void TreeView1_MouseDown(unsigned button, int shift, int x, int y);
    /// The same for the value panel and the window's background.
    void valueframe_MouseDown(unsigned button, int shift, int x, int y);
    void Form_MouseDown(unsigned button, int shift, int x, int y);
    /// The mouse moved to (x, y), in the tree's coordinates, with `buttons` held; the left
    /// button alone over a material starts dragging it.
    void TreeView1_MouseMove(unsigned buttons, int shift, int x, int y);
    /// A drag moved over (x, y): the drop highlight follows the mouse.
    void TreeView1_DragOver(int x, int y);
    /// A drag was dropped at (x, y): a material dropped on another category moves there and
    /// is shown.
    void TreeView1_DragDrop(int x, int y);

private:
    AppState& state_;
    BaseForm& form_;
    MessageBox& messages_;
    PopupMenu& editMenu_;
};

} // namespace mb
