#pragma once

#include "EditHistory.h"
#include "FileStamp.h"
#include "Library.h"
#include "TextRoom.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mb {

/// Document state that lives beside the library for the whole run.
struct DocumentState {
    std::string CurrentFileName; ///< path of the open library; "" while never saved
    /// true after New and after a spreadsheet import: Save means Save As
    bool IsUntitled = false;
    bool DocumentOpen = false;
    int16_t CopiedMaterialNumber = -1; ///< material remembered by Copy, -1 for none
    std::string CopiedName;            ///< its name as held at copy time
    std::string DraggedNodeKey;        ///< material node being dragged
    std::string DragSourceKey;         ///< its category node
    std::string DecimalSeparator;      ///< the user's, read from the locale; "" until read
    /// The library's file as this program last opened or saved it; none when the library
    /// has no file of its own yet.
    std::optional<FileStamp> DiskStamp;
};

/// The one state object: the open library, its edit history and the document state. Forms
/// and commands receive it by reference; nothing else holds library data. Edits of the
/// library go through `history`, which makes and records them.
struct AppState {
    Library library;
    DocumentState doc;
    EditHistory history{library};
    /// Memory for the library's whole text, shared by its saves and its recovery copies.
    TextRoom textRoom;
};

} // namespace mb
