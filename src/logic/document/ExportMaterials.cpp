#include "ExportMaterials.h"

#include "AppState.h"
#include "Controls.h"
#include "DocumentLifecycle.h"
#include "EditorView.h"
#include "FileOps.h"
#include "LibraryFile.h"
#include "TextUtil.h"
#include "UnitConversion.h"

namespace mb {

namespace {

// The path with `extension` added when its file name has none.
std::string WithExtension(const std::string& path, const std::string& extension) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path;
    return path + "." + extension;
}

} // namespace

std::string exportFilter(ExportFormat format) {
    switch (format) {
    case ExportFormat::Json:
        return "JSON Files (*.json)|*.json";
    case ExportFormat::Csv:
        return "CSV Files (*.csv)|*.csv";
    case ExportFormat::Xlsx:
        return "Excel Workbooks (*.xlsx)|*.xlsx";
    case ExportFormat::Calculix:
        return "CalculiX Input Files (*.inp)|*.inp";
    }
    return "";
}

std::string exportExtension(ExportFormat format) {
    switch (format) {
    case ExportFormat::Json:
        return "json";
    case ExportFormat::Csv:
        return "csv";
    case ExportFormat::Xlsx:
        return "xlsx";
    case ExportFormat::Calculix:
        return "inp";
    }
    return "";
}

std::string writeExportFile(const std::string& path, const std::string& bytes) {
    SafeFileWriter writer(path, systemFileOps());
    int err = writer.open();
    if (err == 0) err = writer.append(bytes);
    if (err == 0) err = writer.commit();
    if (err == 0) return "";
    writer.abandon();
    return "Cannot write " + path + ": " + fileErrorMessage(err);
}

std::string omissionsMessage(const std::string& path,
                             const std::vector<ExportOmission>& omissions) {
    std::string text = path + " is written, but not all of it as the library has it. Each of "
                              "these is also a comment in the file:\n";
    const std::size_t shown =
        omissions.size() > kListedOmissions ? kListedOmissions - 1 : omissions.size();
    for (std::size_t i = 0; i < shown; ++i) {
        const ExportOmission& o = omissions[i];
        text += "\n" + o.category + " / " + o.material + ": " + o.what;
    }
    if (shown < omissions.size())
        text += "\n... and " + std::to_string(omissions.size() - shown) + " more.";
    return text;
}

ExportForm::ExportForm(const Library& library, ExportDialog& view, int selected, int unitSystem,
                       const std::string& decimalSeparator)
    : library_(library), view_(view), selected_(library.isValidNumber(selected) ? selected : -1),
      picker_(library, view, std::string(unitSystemName(unitSystem)), decimalSeparator) {
    choice_.scope = selected_ >= 0 ? ExportScope::SelectedMaterial : ExportScope::WholeLibrary;
    choice_.unitSystem = unitSystem;
    picker_.checksChanged = [this] { updateControls(); };
}

void ExportForm::start() {
    std::vector<std::string> units;
    for (int i = 0; i < kUnitSystemCount; ++i)
        units.emplace_back(unitSystemCaption(i));
    view_.setup(selected_ >= 0 ? std::string(trimBlanks(library_.entry(selected_).Name)) : "",
                units, choice_);
    picker_.fill();
    updateControls();
}

void ExportForm::choice_Change(const ExportChoice& choice) {
    choice_ = choice;
    updateControls();
}

std::vector<int> ExportForm::materials(const ExportChoice& choice) const {
    switch (choice.scope) {
    case ExportScope::SelectedMaterial:
        return selected_ >= 0 ? std::vector<int>{selected_} : std::vector<int>{};
    case ExportScope::ChosenMaterials:
        return picker_.checkedMaterials();
    case ExportScope::WholeLibrary:
        break;
    }
    std::vector<int> all;
    for (int n = 0; n < library_.materialCount(); ++n)
        all.push_back(n);
    return all;
}

void ExportForm::updateControls() {
    // Only the table formats carry units; JSON and the solver cards are always in SI.
    view_.setUnitsEnabled(choice_.format == ExportFormat::Csv ||
                          choice_.format == ExportFormat::Xlsx);
    view_.setPickerEnabled(choice_.scope == ExportScope::ChosenMaterials);
    view_.setExportEnabled(!materials(choice_).empty());
}

ExportMaterials::ExportMaterials(AppState& state, EditorView& view, MessageBox& messages,
                                 ExchangeDialogs& dialogs, FileDialogs& files)
    : state_(state), view_(view), messages_(messages), dialogs_(dialogs), files_(files) {}

void ExportMaterials::run() {
    Library& library = state_.library;
    const auto dialog = dialogs_.exportDialog();
    ExportForm logic(library, *dialog, view_.CurrentMaterial(), std::max(view_.unitsIndex(), 0),
                     state_.doc.DecimalSeparator);
    logic.start();
    const std::optional<ExportChoice> choice = dialog->exec(logic);
    if (!choice) return;
    const std::vector<int> numbers = logic.materials(*choice);
    if (numbers.empty()) return;
    const std::string extension = exportExtension(choice->format);
    const std::string& file = state_.doc.CurrentFileName;
    // Beside the library, named after it.
    const std::string proposed = file.empty() ? file : proposedLibraryPath(file);
    const auto chosen = files_.saveFile(
        kExportSaveTitle, exportFilter(choice->format),
        proposed.empty() ? proposed : proposed.substr(0, proposed.size() - 3) + extension);
    if (!chosen) return;
    const std::string path = WithExtension(*chosen, extension);
    const Result<ExportedFile> r =
        exportText(exportSelection(library, numbers), choice->format, choice->unitSystem);
    const std::string message =
        r ? writeExportFile(path, r->bytes) : "Cannot write " + path + ": " + r.failure().what;
    if (!message.empty())
        messages_.show(message, MsgButtons::OK, MsgIcon::Exclamation);
    else if (!r->omissions.empty())
        messages_.show(omissionsMessage(path, r->omissions), MsgButtons::OK, MsgIcon::Exclamation);
}

} // namespace mb
