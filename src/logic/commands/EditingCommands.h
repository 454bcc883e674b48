#pragma once

#include "LibraryOperations.h"
#include "MaterialClipboard.h"

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mb {

struct AppState;
class EditorView;
class MaterialClipboard;
class MessageBox;
class TextBox;
class TreeControl;

// The editing commands' messages, as the user sees them.
inline constexpr const char* kSetCategoryAndNameFirst =
    "Must set Material category and name before generating new material !";
inline constexpr const char* kNoMaterialWithinMaterial =
    "Addition of new Material within another Material is prohibited ! ";
inline constexpr const char* kSpecifyCategory = "Please specify the Material Category name !";
inline constexpr const char* kCategoryStartsWithNumber =
    "Material category can not start with a number !";
inline constexpr const char* kSpecifyName = "Please specify the Material name !";
inline constexpr const char* kNameExists = "Material already exits. Please enter a different name!";
inline constexpr const char* kAddQuestion = "Do you really want to add this material ?";
inline constexpr const char* kOverwriteQuestion = "Overwrite the existing material ?";
inline constexpr const char* kCannotCopyCategory = "Cannot copy a Category !";
inline constexpr const char* kCopySourceGone =
    "The Material to Copy has been renamed or deleted. Please select another material to copy.";
inline constexpr const char* kCopyPrefix = "Copy of ";
inline constexpr const char* kNameTooLong = "Material name should be less than 30 characters long";
inline constexpr const char* kCategoryTooLong =
    "Material Category name should be less than 25 characters long !";
inline constexpr const char* kLibraryFull =
    "The library is full: it already holds 1001 materials, the most a library can hold. "
    "Delete a material before adding another.";

inline constexpr std::size_t kMaxNameLength = 30;
inline constexpr std::size_t kMaxCategoryLength = 25;
inline constexpr std::size_t kNameCodeLength = 13;

/// Told after a paste whose copy had to be changed to fit a library.
inline constexpr const char* kPastedNameShortened = "The name of the copy was shortened to \"";
inline constexpr const char* kPastedNameShortenedEnd =
    "\": a library file keeps at most 30 characters of a name.";
inline constexpr const char* kPastedDescriptionShortened =
    "The description of the copy was shortened to the 50 characters a library file keeps.";
inline constexpr const char* kPastedControlCharactersReplaced =
    "Line breaks, tabs and other control characters in the copied name, name code and "
    "description were replaced by blanks.";

/// "Material Name (" + name + ") exists. Please rename it before pasting."
std::string pastedNameExistsMessage(const std::string& name);

/// The texts of a material copied into the library (a paste, an import), made fit for a
/// library file: control characters become blanks, the trimmed name is cut to its 30
/// columns and the description to 50 characters, each change with its note added to
/// `notes`. The entry's category is left empty.
LibraryEntry fitCopiedTexts(const std::string& name, std::string nameCode, std::string description,
                            std::vector<std::string>& notes);
/// The lines joined by line breaks, for one message box.
std::string joinLines(const std::vector<std::string>& lines);
/// The node selected in the tree, for an undo to go back to.
EditFocus selectedNode(const TreeControl& tree);

/// The 13-character name code of a material typed as `typedName` (the name box's text,
/// blanks and all): a long name gives its first 13 characters as typed, a short one its
/// trimmed form padded with blanks.
std::string newMaterialNameCode(const std::string& typedName);

/// The editor window's editing commands: adding a material from the three text boxes,
/// writing the boxes into a material and resetting its values ("&Reset"), copy and paste,
/// delete and clear, and what the boxes do when they gain and lose the focus. Menu items,
/// buttons and the boxes' focus notifications are routed to these methods.
class EditingCommands {
public:
    /// Also limits the description box to the characters a library file keeps. With a
    /// `clipboard`, Copy also puts the material on the system clipboard, and Paste takes
    /// one that another program copied after this one's last Copy.
    EditingCommands(AppState& state, EditorView& view, MessageBox& messages,
                    MaterialClipboard* clipboard = nullptr);
    ~EditingCommands();
    EditingCommands(const EditingCommands&) = delete;
    EditingCommands& operator=(const EditingCommands&) = delete;

    // "&Edit" / "&New": refuses unless a category with materials is selected.
    void newMaterial();
    // "&Add New Material": validates the boxes, asks, and appends the material.
    void onNewMaterial();
    /// Appends the material typed into the boxes to the library and the tree and selects
    /// it. False, with the library-full message, when the library has no room.
    bool AddMaterialNode();
    void CompleteNewMaterial();
    /// Shows the grid laid out with every Value cell empty.
    void ClearValueGrid();
    // "&Reset": writes the boxes into the material of the same category and name (or a new
    // one) and gives its working record back the values of its shadow record.
    void onMaterialSet();

    void onCopyMaterial();
    void onPasteMaterial();

    void DeleteSelected() { operations_.DeleteSelected(); }
    /// Opens the selected material's label in the tree for typing; a category cannot be
    /// renamed ("Cannot rename a Category !").
    void renameSelected();
    void ClearValues() { operations_.ClearValues(); }
    void undo() { operations_.undo(); }
    void redo() { operations_.redo(); }

    // The three boxes' focus notifications. The LostFocus handlers return false when the
    // text is too long; they have then shown the message and asked for the focus back.
    void materialNameText_GotFocus();
    bool materialNameText_LostFocus();
    void materialTypeText_GotFocus();
    bool materialTypeText_LostFocus();
    void descriptionText_GotFocus();
    /// Enter in a box: stores it as leaving it does (the length checks, the description)
    /// and, while a new material is being typed, adds it as "&Add New Material" does.
    void materialNameText_Enter();
    void materialTypeText_Enter();
    void descriptionText_Enter();
    /// Stores the box's text as the description of the material selected last (material
    /// 0 included; nothing for a category, nor while a new material is typed: the text is
    /// the new one's). False, with a message and the focus back in the box, when the text
    /// cannot go into a library.
    bool descriptionText_LostFocus();

private:
    /// Shows the library-full message when no material can be added; true then.
    bool refuseWhenFull();
    /// True when some material's name, trimmed, equals `name` without regard to case.
    bool nameTaken(const std::string& name) const;
    /// Checks that category and name are filled in, with the message and focus move of
    /// the first that is not. `checkLeadingDigit` adds the check of the category's start.
    bool validateBoxes(bool checkLeadingDigit);
    /// Checks that the typed texts can go into a library file as they will be stored: no
    /// control characters, a name within the name's columns and a description within the
    /// 50 characters the file keeps. Refuses with a message and the focus in the box.
    bool validateLibraryText(const std::string& storedDescription);
    /// Adds material n's node under the node keyed `categoryKey` (made when missing),
    /// selects it and marks it as the selected material.
    void addTreeNode(int n, const std::string& categoryKey);
    /// Material k as a save writes it and the grid's rows for it, onto the clipboard.
    void putOnClipboard(int k);
    /// Pastes a material read from the clipboard, or refuses with the reason it cannot be.
    void pasteFromClipboard(const std::variant<ClipMaterial, std::string>& clip);
    /// Appends "Copy of " + `name` with `nameCode` and `description` to the category of
    /// the selected node, shortening or cleaning its texts as a library needs them, as one
    /// edit; `insert` adds the material with the entry it is given and returns its number.
    void pasteCopy(const std::string& name, std::string nameCode, std::string description,
                   const std::function<int(const LibraryEntry&)>& insert);
    /// Key of material n's node as the library names it; "" for no material.
    std::string keyOfMaterial(int n) const;
    /// After an edit the tree followed by building itself afresh: the node that was
    /// `selected` (or its material's new node) is selected again.
    void keepTreeInStep(const std::optional<std::string>& selected);
    void enterNewMaterialMode(TextBox& box);
    bool inNewMaterialMode() const;
    /// The three boxes hold what the library now holds.
    void markBoxesStored();

    AppState& state_;
    EditorView& view_;
    MessageBox& messages_;
    MaterialClipboard* clipboard_;
    LibraryOperations operations_;
    int changeListener_ = 0; // forgets the copied material when numbers shift
};

} // namespace mb
