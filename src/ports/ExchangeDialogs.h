#pragma once

// The dialogs that bring materials in from other files and write them out: what the logic
// shows in them and what the user chose there. The Qt windows implement them; the tests
// answer from a script.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mb {

/// One line of a list of materials to choose from: a category, or a material of the
/// category line above it.
struct PickerLine {
    int material = -1; ///< the material's number; -1 for a category line
    std::string text;
    bool checked = false;
    bool hidden = false; ///< left out by the find box
};

/// What the user does in a list of materials with check boxes and a find box.
class MaterialPickerHandler {
public:
    virtual ~MaterialPickerHandler() = default;
    virtual void findBox_Change(const std::string& text) = 0;
    /// The check box of line `line` (counted from 0) was set or cleared.
    virtual void line_Check(int line, bool checked) = 0;
};

/// A list of materials grouped by category, with a check box on each line and a find box
/// above it, and a status line for what the find box found.
class MaterialPickerView {
public:
    virtual ~MaterialPickerView() = default;
    /// The lines in order. Later calls bring the same lines with new marks or visibility.
    virtual void showLines(const std::vector<PickerLine>& lines) = 0;
    virtual void setStatus(const std::string& status) = 0;
};

/// "Import Materials from Library...": the other library's materials to check.
class ImportFromLibraryDialog : public MaterialPickerView {
public:
    /// The library the materials come from, before the dialog shows.
    virtual void setSource(const std::string& path) = 0;
    /// Import can be pressed only while some material is checked.
    virtual void setImportEnabled(bool enabled) = 0;
    /// Shows the dialog until the user imports (true) or cancels; what the user does in
    /// it goes to `handler` meanwhile.
    virtual bool exec(MaterialPickerHandler& handler) = 0;
};

enum class ExportScope { SelectedMaterial, ChosenMaterials, WholeLibrary };
enum class ExportFormat { Json, Csv, Xlsx, Calculix };

struct ExportChoice {
    ExportScope scope = ExportScope::WholeLibrary;
    ExportFormat format = ExportFormat::Json;
    int unitSystem = 0; ///< index of "IPS", "SI", "MKS(G)"
};

/// What the user does in the export dialog beside the list of materials.
class ExportDialogHandler : public MaterialPickerHandler {
public:
    virtual void choice_Change(const ExportChoice& choice) = 0;
};

/// "Export...": what to export, in which format and unit system; the list of materials
/// serves the chosen set.
class ExportDialog : public MaterialPickerView {
public:
    /// `selectedMaterial` names the material the editor shows, "" for none (the scope is
    /// then not offered); `unitSystems` are the captions of the unit selector.
    virtual void setup(const std::string& selectedMaterial,
                       const std::vector<std::string>& unitSystems,
                       const ExportChoice& initial) = 0;
    virtual void setUnitsEnabled(bool enabled) = 0;
    virtual void setPickerEnabled(bool enabled) = 0;
    virtual void setExportEnabled(bool enabled) = 0;
    /// Shows the dialog until the user exports (the choice) or cancels (nullopt).
    virtual std::optional<ExportChoice> exec(ExportDialogHandler& handler) = 0;
};

/// The answer to a name that the open library has already.
enum class CollisionAnswer { Copy, Skip, CopyAll, SkipAll, Cancel };

class ExchangeDialogs {
public:
    virtual ~ExchangeDialogs() = default;
    virtual std::unique_ptr<ImportFromLibraryDialog> importFromLibraryDialog() = 0;
    virtual std::unique_ptr<ExportDialog> exportDialog() = 0;
    /// Material `name` is in the open library already: add it as `copyName`, skip it, do
    /// either for every further collision of this import, or import nothing.
    virtual CollisionAnswer askNameCollision(const std::string& name,
                                             const std::string& copyName) = 0;
};

} // namespace mb
