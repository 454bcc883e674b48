#pragma once

#include "Library.h"
#include "LibraryDiff.h"

#include <string>

namespace mb {

struct AppState;
class EditorView;
class MessageBox;

inline constexpr const char* kCompareDialogTitle = "Compare with Library...";
inline constexpr const char* kCompareDialogFilter =
    "VELTRA Material Files (*.lib)|*.lib|All Files  (*.*)|*.*";

/// Reads a library beside the open one, only reading the file. "" when it was read, else
/// the message to show, naming the file.
std::string readOtherLibrary(const std::string& path, Library& other,
                             const std::string& decimalSeparator);

/// The open library compared with another one, read from a file and never written: the
/// differences as `matlib diff OPEN OTHER` lists them, so an "added" material is one the
/// other library has and the open one lacks, and a value line reads open, then other.
/// An added material and a changed value can be taken over into the open library, each
/// as one edit of the edit history.
class CompareWithLibrary {
public:
    CompareWithLibrary(AppState& state, EditorView& view, MessageBox& messages);

    /// Reads the other library. On failure returns the message to show (naming the file)
    /// and keeps what was compared before.
    std::string open(const std::string& path);
    const std::string& path() const { return path_; }

    /// Compares again, after the open library changed.
    void refresh();
    const LibraryComparison& comparison() const { return comparison_; }

    static bool canTakeOver(const LibraryDifference& difference);
    /// What the open library (`other` false) or the other one has of a difference, as the
    /// window shows it: a value in the unit system on show with its unit ("16534380 psi"),
    /// "" where there is none; the text itself for the other kinds.
    std::string shownSide(const LibraryDifference& difference, bool other) const;
    /// Makes the open library agree with the other on difference `i`: adds the material
    /// (shown and selected in the tree) or sets the value (shown in the grid when its
    /// material is). Compares again afterwards. False when the difference cannot be taken
    /// over, or the library is full (with the library-full message).
    bool takeOver(std::size_t i);

private:
    bool takeOverMaterial(const LibraryDifference& difference);
    bool takeOverValue(const LibraryDifference& difference);

    AppState& state_;
    EditorView& view_;
    MessageBox& messages_;
    Library other_;
    std::string path_;
    LibraryComparison comparison_;
};

} // namespace mb
