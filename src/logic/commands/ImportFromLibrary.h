#pragma once

#include "ExchangeDialogs.h"
#include "Library.h"

#include <string>
#include <vector>

namespace mb {

struct AppState;
class EditorView;
class MessageBox;
class FileDialogs;

inline constexpr const char* kImportFromLibraryTitle = "Import Materials from Library...";

/// "Import 3 Materials", "Import 1 Material": the edit an import makes.
std::string importEditLabel(int count);
/// Told when a material's "Copy of ..." name is taken as well.
std::string copyNameTakenMessage(const std::string& name, const std::string& copyName);

/// "Import Materials from Library...": another library is read (its file only read, never
/// locked or written), the user checks materials of it, and those are added to the open
/// library as pasted materials are: in their own category, with their values, texts made
/// fit for the file. A name the open library has already is offered as "Copy of ..." or
/// skipped. The whole import is one edit of the edit history.
class ImportFromLibrary {
public:
    ImportFromLibrary(AppState& state, EditorView& view, MessageBox& messages,
                      ExchangeDialogs& dialogs);

    /// The whole command: the file dialog, the list of materials, the import.
    void run(FileDialogs& files);

    /// Reads the other library. On failure returns the message to show, naming the file.
    std::string open(const std::string& path);
    const Library& other() const { return other_; }
    const std::string& path() const { return path_; }

    /// Shows the other library's materials to choose from and imports those checked.
    void chooseAndImport();

    /// Adds the other library's materials numbered `chosen` in that order, asking about
    /// each name collision, and shows the first one added. Materials past the library's
    /// limit are left out with the library-full message; Cancel at a collision imports
    /// nothing. Returns how many were added.
    int importMaterials(const std::vector<int>& chosen);

private:
    AppState& state_;
    EditorView& view_;
    MessageBox& messages_;
    ExchangeDialogs& dialogs_;
    Library other_;
    std::string path_;
};

} // namespace mb
