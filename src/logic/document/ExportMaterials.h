#pragma once

#include "ExchangeDialogs.h"
#include "ExportFormats.h"
#include "ExportSelection.h"
#include "MaterialPicker.h"

#include <memory>
#include <string>
#include <vector>

namespace mb {

struct AppState;
class EditorView;
class MessageBox;
class FileDialogs;
class Library;

inline constexpr const char* kExportSaveTitle = "Export Materials As...";

/// The save dialog's filter of a format ("JSON Files (*.json)|*.json") and its extension.
std::string exportFilter(ExportFormat format);
std::string exportExtension(ExportFormat format);
/// At most this many lines of omissions in the export's message; the file has them all.
inline constexpr std::size_t kListedOmissions = 12;
/// The message after an export to `path` that left `omissions` out, one line each.
std::string omissionsMessage(const std::string& path, const std::vector<ExportOmission>& omissions);

/// Writes `bytes` to `path` as a library is saved: the old file stays whole until the new
/// one is complete, and no temporary file is left. "" when written, else the message,
/// naming the file.
std::string writeExportFile(const std::string& path, const std::string& bytes);

/// The export dialog's logic: which scopes it offers, the chosen set's list of materials,
/// and which controls make sense for the choice made.
class ExportForm final : public ExportDialogHandler {
public:
    /// `selected` is the material the editor shows (-1 for none), `unitSystem` the
    /// system it shows values in.
    ExportForm(const Library& library, ExportDialog& view, int selected, int unitSystem,
               const std::string& decimalSeparator);

    /// Sets the dialog up before it shows.
    void start();
    void findBox_Change(const std::string& text) override { picker_.findBox_Change(text); }
    void line_Check(int line, bool checked) override { picker_.line_Check(line, checked); }
    void choice_Change(const ExportChoice& choice) override;

    /// The material numbers `choice` exports; empty when there are none.
    std::vector<int> materials(const ExportChoice& choice) const;
    MaterialPicker& picker() { return picker_; }

private:
    void updateControls();

    const Library& library_;
    ExportDialog& view_;
    int selected_;
    ExportChoice choice_;
    MaterialPicker picker_;
};

/// "Export...": the export dialog, then a save dialog for the format's file, then the file.
class ExportMaterials {
public:
    ExportMaterials(AppState& state, EditorView& view, MessageBox& messages,
                    ExchangeDialogs& dialogs, FileDialogs& files);
    void run();

private:
    AppState& state_;
    EditorView& view_;
    MessageBox& messages_;
    ExchangeDialogs& dialogs_;
    FileDialogs& files_;
};

} // namespace mb
