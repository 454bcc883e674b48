#include "MaterialFeedback.h"

#include "AppState.h"
#include "BaseForm.h"
#include "GridEntryStore.h"
#include "MaterialChecks.h"
#include "MaterialCurves.h"
#include "NodeKey.h"
#include "PropertyCatalogue.h"
#include "TextUtil.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace mb {

namespace {

RowMark MarkOf(Severity s) {
    return s == Severity::Error ? RowMark::Error : RowMark::Warning;
}

// Axis numbers read best from 1 to 999: 2.1e+11 N/m^2 is drawn as 210 GPa, 1.3e+05 psi as
// 130 ksi, a strain of 0.0011 as 1.1 on an axis of 10^-3; a unit without prefixes takes its
// power of ten into the label. The unit is what the label's last brackets hold.
void ScaleAxis(std::string& label, const std::vector<std::vector<double>*>& values) {
    const std::size_t open = label.rfind('(');
    const bool bracketed = open != std::string::npos && !label.empty() && label.back() == ')';
    const std::string unit = bracketed ? label.substr(open + 1, label.size() - open - 2) : "";
    const std::string name = bracketed ? label.substr(0, open) : label + " ";
    double largest = 0;
    for (const std::vector<double>* v : values)
        for (double x : *v)
            if (std::isfinite(x)) largest = std::max(largest, std::abs(x));
    if (!(largest >= 1000) && !(largest > 0 && largest < 0.01)) return;
    const int power =
        std::clamp(3 * static_cast<int>(std::floor(std::log10(largest) / 3)), -12, 12);
    std::string scaled;
    if (unit == "N/m^2" && power > 0) {
        static const char* const prefixed[] = {"kPa", "MPa", "GPa", "TPa"};
        scaled = prefixed[power / 3 - 1];
    } else if (unit == "psi" && (power == 3 || power == 6)) {
        scaled = power == 3 ? "ksi" : "Msi";
    } else {
        scaled = "10^" + std::to_string(power) + (unit.empty() ? "" : " " + unit);
    }
    const double factor = std::pow(10.0, power);
    for (std::vector<double>* v : values)
        for (double& x : *v)
            x /= factor;
    label = name + "(" + scaled + ")";
}

LibraryFindingLine LineOf(const Library& library, const LibraryFinding& f) {
    const LibraryEntry& e = library.entry(f.material);
    std::string text(severityName(f.finding.severity));
    text.append("  ").append(trimBlanks(e.Category)).append(" / ").append(trimBlanks(e.Name));
    text.append("  ").append(f.finding.rule).append(": ").append(f.finding.message);
    return {f.material, MarkOf(f.finding.severity), std::move(text)};
}

} // namespace

std::vector<LibraryFindingLine> libraryFindingLines(const Library& library,
                                                    std::string_view unitSystem) {
    std::vector<LibraryFindingLine> lines;
    for (const LibraryFinding& f : checkLibrary(library, unitSystem))
        lines.push_back(LineOf(library, f));
    return lines;
}

UnwordedFindingCheck::UnwordedFindingCheck(const Library& library)
    : check_(std::make_unique<LibraryCheck>(library, "", Wording::Unworded)) {}

UnwordedFindingCheck::~UnwordedFindingCheck() = default;

std::vector<LibraryFindingLine> UnwordedFindingCheck::take() {
    const std::vector<LibraryFinding> findings = check_->take();
    std::vector<LibraryFindingLine> lines;
    lines.reserve(findings.size());
    for (const LibraryFinding& f : findings)
        lines.push_back({f.material, MarkOf(f.finding.severity), {}});
    return lines;
}

std::vector<LibraryFindingLine> materialFindingLines(const Library& library, int n,
                                                     std::string_view unitSystem) {
    std::vector<LibraryFindingLine> lines;
    if (!library.isValidNumber(n) || !library.hasRecord(n)) return lines;
    for (Finding& f : checkMaterial(*library.Materials()[static_cast<std::size_t>(n)], unitSystem))
        lines.push_back(LineOf(library, {n, std::move(f)}));
    return lines;
}

MaterialFeedback::MaterialFeedback(BaseForm& form, Label& checkSummary, ChartControl& chart)
    : form_(form), checkSummary_(checkSummary), chart_(chart) {
    form_.onMaterialShown([this] { refresh(); });
    // Registered after the form's, so the grid has followed the change when this runs.
    // An undo or a redo whose material is shown next is followed by that showing.
    changeListener_ = form_.state.history.addListener([this](const LibraryChange& change) {
        if (!change.focusShownAfter &&
            (change.numbersShifted ||
             (change.valuesChanged && change.touches(form_.CurrentMaterial()))))
            refresh();
    });
}

MaterialFeedback::~MaterialFeedback() {
    form_.state.history.removeListener(changeListener_);
}

void MaterialFeedback::refresh() {
    const int m = form_.CurrentMaterial();
    show(m >= 0 && form_.state.library.hasRecord(m) ? &form_.state.library.material(m) : nullptr);
}

void MaterialFeedback::VSFlexGrid1_Change() {
    const int m = form_.CurrentMaterial();
    if (m < 0 || !form_.state.library.hasRecord(m)) return;
    clsMaterial typed = form_.state.library.material(m);
    const GridEntryStore::CellEntry entry = form_.readCurrentCell();
    const int slot = entry.code ? PropertyCatalogue::instance().findExact(*entry.code) : -1;
    if (entry.effect == GridEntryStore::CellEntry::Effect::Set) typed.setSlotValue(slot, entry.si);
    if (entry.effect == GridEntryStore::CellEntry::Effect::Clear) typed.HasValue(slot, false);
    show(&typed);
}

void MaterialFeedback::showMaterial(int n) {
    GridControl& grid = form_.VSFlexGrid1;
    grid.finishEditing();
    for (const std::string& key : form_.TreeView1.keysInOrder()) {
        if (IsCategoryKey(key) || keyTailNumber(key) != n) continue;
        form_.TreeView1.select(key);
        form_.TreeView1.ensureVisible(key);
        form_.TreeView1_NodeClick(key);
        return;
    }
}

std::string matrixEntryPlace(int slot) {
    const int first = PropertyCatalogue::instance().findExact("MC11");
    if (slot < first || slot >= first + kMatrixEntryCount) return "";
    static constexpr std::array<const char*, 6> kAxes = {"x", "y", "z", "xy", "yz", "xz"};
    // The 21 entries run along the upper triangle row by row.
    int row = 0, index = slot - first;
    while (index >= 6 - row)
        index -= 6 - row++;
    const int column = row + index;
    return "Material matrix row " + std::to_string(row + 1) + " (" +
           kAxes[static_cast<std::size_t>(row)] + "), column " + std::to_string(column + 1) + " (" +
           kAxes[static_cast<std::size_t>(column)] +
           "); rows and columns in the order x, y, z, xy, yz, xz.";
}

void MaterialFeedback::show(const clsMaterial* material) {
    GridControl& grid = form_.VSFlexGrid1;
    // The values in the messages as the grid beside them shows them.
    const std::vector<Finding> findings =
        material ? checkMaterial(*material, form_.UnitSystem()) : std::vector<Finding>();
    checkSummary_.setCaption(material ? findingSummary(findings) : "");

    // Each row takes the gravest mark of the findings that involve its property, and
    // their messages as its tooltip, below where a matrix entry sits in the matrix.
    std::map<int, std::pair<RowMark, std::string>> bySlot;
    for (const Finding& f : findings)
        for (int slot : f.slots) {
            auto& [mark, tip] = bySlot[slot];
            if (mark != RowMark::Error) mark = MarkOf(f.severity);
            if (!tip.empty()) tip += "\n";
            tip += f.message;
        }
    const auto& catalogue = PropertyCatalogue::instance();
    for (int row = 1; row < grid.rows(); ++row) {
        const int slot = catalogue.findTolerant(grid.textMatrix(row, 0));
        std::string tip = matrixEntryPlace(slot);
        RowMark mark = RowMark::None;
        if (const auto it = bySlot.find(slot); it != bySlot.end()) {
            mark = it->second.first;
            tip += (tip.empty() ? "" : "\n") + it->second.second;
        }
        grid.setRowMark(row, mark, tip);
    }
    if (!material) {
        chart_.showNote("Select a material to see its curve.");
        chart_.setVisible(false);
        return;
    }

    // An isotropic material's line is drawn too: otherwise the commonest type would leave
    // the pane empty.
    const int type = form_.typeCombo.listIndex();
    const MaterialCurve curve = type == 0
                                    ? isotropicLine(*material, form_.unitsCombo.listIndex())
                                    : computeCurve(*material, type, form_.unitsCombo.listIndex());
    // Where nothing can be drawn the pane gives its room to the grid.
    if (!curve.drawn()) {
        chart_.showNote(curve.note);
        chart_.setVisible(false);
        return;
    }
    chart_.setVisible(true);
    ChartPlot plot{curve.title, curve.xLabel, curve.yLabel, curve.logX, curve.polar, curve.x, {}};
    for (const CurveSeries& s : curve.series)
        plot.series.push_back({s.name, s.y});
    std::vector<std::vector<double>*> ys;
    for (ChartPlot::Series& s : plot.series)
        ys.push_back(&s.y);
    ScaleAxis(plot.yLabel, ys);
    if (!plot.logX && !plot.polar) ScaleAxis(plot.xLabel, {&plot.x});
    chart_.showPlot(plot);
}

} // namespace mb
