#pragma once

#include "Controls.h"

#include <memory>
#include <string>
#include <vector>

namespace mb {

class BaseForm;
class Library;
class clsMaterial;
class LibraryCheck;

/// One finding of the whole library, as the list of "Check Library" shows it.
struct LibraryFindingLine {
    int material = -1;
    RowMark severity = RowMark::Error;
    std::string text; ///< "error  Category / Name  rule: message"
};

/// Every finding of `library`, materials in number order, values in `unitSystem` with their
/// units ("" for SI as stored, without units).
std::vector<LibraryFindingLine> libraryFindingLines(const Library& library,
                                                    std::string_view unitSystem);
/// The same lines without their words (each text empty), for a list that words only the
/// lines it shows: with thousands of findings, the wording is most of the checking. The
/// checks begin with the object and go on, on other threads, while the caller does other
/// work; `take` finishes them. The library must not change until then.
class UnwordedFindingCheck {
public:
    explicit UnwordedFindingCheck(const Library& library);
    ~UnwordedFindingCheck();
    UnwordedFindingCheck(const UnwordedFindingCheck&) = delete;
    UnwordedFindingCheck& operator=(const UnwordedFindingCheck&) = delete;

    std::vector<LibraryFindingLine> take();

private:
    std::unique_ptr<LibraryCheck> check_;
};
/// The findings of material n alone, as libraryFindingLines gives them; none for a number
/// that names no material.
std::vector<LibraryFindingLine> materialFindingLines(const Library& library, int n,
                                                     std::string_view unitSystem);

/// The tooltip of a material-matrix row: where entry `slot` sits in the matrix, whose rows
/// and columns run x, y, z, xy, yz, xz; "" for any other slot.
std::string matrixEntryPlace(int slot);

/// What follows the selected material's values in the editor: the marks of the grid rows
/// that a check involves, the line under the grid that sums the findings up, and the
/// chart of the material model chosen in the type selector, in the chosen unit system.
/// It follows every showing of a material in the grid, every change of the library that
/// touches the material shown (by its notice) and, through `VSFlexGrid1_Change`, a value
/// while it is being typed.
class MaterialFeedback {
public:
    MaterialFeedback(BaseForm& form, Label& checkSummary, ChartControl& chart);
    ~MaterialFeedback();
    MaterialFeedback(const MaterialFeedback&) = delete;
    MaterialFeedback& operator=(const MaterialFeedback&) = delete;

    /// Shows the marks, the summary and the chart of the selected material as stored.
    void refresh();
    /// The text in the grid's open cell editor changed: everything follows the material as
    /// it would be with that text stored.
    void VSFlexGrid1_Change();
    /// Selects material `n` in the tree and shows it, as a click on its node does.
    void showMaterial(int n);

private:
    void show(const clsMaterial* material);

    BaseForm& form_;
    Label& checkSummary_;
    ChartControl& chart_;
    int changeListener_ = 0;
};

} // namespace mb
