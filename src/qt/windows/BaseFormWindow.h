#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QSplitter;

namespace mb {
struct AppState;
class BaseForm;
class DocumentView;
class PopupMenu;
class TreeEditing;
class Locale;
class MaterialFeedback;
class MessageBox;
class TreeFilter;
namespace qt {
class QtButton;
class QtChart;
class QtComboBox;
class QtFrame;
class QtGrid;
class QtLabel;
class QtLocale;
class QtMessageBox;
class QtTextBox;
class QtTree;
} // namespace qt

/// The editor window: the library tree on the left; on the right the category, name and
/// description boxes, the unit-system and type selectors, the property grid in its frame
/// and the three buttons. It lays the controls out and forwards their notifications to
/// the form logic (`form()`); of its own it only adds two mouse habits of the boxes (see
/// `eventFilter`). A plain widget, so that a main window can host it.
class BaseFormWindow : public QWidget {
    Q_OBJECT
public:
    /// Uses Qt message boxes and the system locale.
    explicit BaseFormWindow(AppState& state, QWidget* parent = nullptr);
    /// Uses the given services (a main window's, or a test's).
    BaseFormWindow(AppState& state, MessageBox& messageBox, Locale& locale,
                   QWidget* parent = nullptr);
    ~BaseFormWindow() override;

    /// The form logic, as the document lifecycle and the commands see it.
    DocumentView& form();
    /// The tree's editing gestures on this window's form, with `editMenu` as the pop-up.
    std::unique_ptr<TreeEditing> makeTreeEditing(PopupMenu& editMenu);
    /// The checks and the chart of the selected material.
    MaterialFeedback& feedback() { return *feedback_; }

    qt::QtTree& TreeView1() { return *TreeView1_; }
    qt::QtGrid& VSFlexGrid1() { return *VSFlexGrid1_; }
    qt::QtComboBox& unitsCombo() { return *unitsCombo_; }
    qt::QtComboBox& typeCombo() { return *typeCombo_; }
    qt::QtTextBox& materialTypeText() { return *materialTypeText_; }
    qt::QtTextBox& materialNameText() { return *materialNameText_; }
    qt::QtTextBox& descriptionText() { return *descriptionText_; }
    qt::QtButton& cmdNewMaterial() { return *cmdNewMaterial_; }
    qt::QtButton& reset() { return *reset_; }
    qt::QtButton& AddSet() { return *AddSet_; }
    qt::QtFrame& valueframe() { return *valueframe_; }
    QSplitter& splitter() { return *splitter_; }
    qt::QtChart& chart() { return *chart_; }
    qt::QtLabel& checkSummary() { return *checkSummary_; }
    /// The find box above the tree, the status beside it, and the filter they drive.
    qt::QtTextBox& findBox() { return *findBox_; }
    qt::QtLabel& findStatus() { return *findStatus_; }
    TreeFilter& filter() { return *filter_; }

protected:
    /// Watches the mouse on the whole application, for two things the widgets would not do
    /// by themselves: a click into one of the three boxes selects its whole text, and a
    /// press whose focus one of the boxes kept (its text is too long) does nothing.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    /// The form on the given services, seeing the tree through the find box's filter.
    void makeForm(MessageBox& messageBox, Locale& locale);
    void connectHandlers();
    qt::QtTextBox* textBox(QObject* object) const;
    bool focusKeptFrom(QWidget* pressed) const;

    AppState& state_;
    MessageBox* messages_ = nullptr;
    // Own services, when none were given.
    std::unique_ptr<qt::QtMessageBox> ownMessageBox_;
    std::unique_ptr<qt::QtLocale> ownLocale_;

    QSplitter* splitter_ = nullptr;
    qt::QtTree* TreeView1_ = nullptr;
    qt::QtGrid* VSFlexGrid1_ = nullptr;
    qt::QtComboBox* unitsCombo_ = nullptr;
    qt::QtComboBox* typeCombo_ = nullptr;
    qt::QtTextBox* materialTypeText_ = nullptr;
    qt::QtTextBox* materialNameText_ = nullptr;
    qt::QtTextBox* descriptionText_ = nullptr;
    qt::QtButton* cmdNewMaterial_ = nullptr;
    qt::QtButton* reset_ = nullptr;
    qt::QtButton* AddSet_ = nullptr;
    qt::QtFrame* valueframe_ = nullptr;
    std::array<qt::QtLabel*, 12> unitStringsLabel_{};
    qt::QtLabel* checkSummary_ = nullptr;
    qt::QtChart* chart_ = nullptr;
    qt::QtTextBox* findBox_ = nullptr;
    QSplitter* gridAndChart_ = nullptr;
    QLabel* newMaterialNote_ = nullptr;
    qt::QtLabel* findStatus_ = nullptr;

    std::unique_ptr<TreeFilter> filter_;
    std::unique_ptr<BaseForm> form_;
    std::unique_ptr<MaterialFeedback> feedback_;

    // The box that a press has just given the focus: its text is selected on the release.
    qt::QtTextBox* selectOnRelease_ = nullptr;
    // The box that took the focus back when it last lost it.
    qt::QtTextBox* keptBy_ = nullptr;
    // A press was refused: its moves and release go nowhere either.
    bool mouseRefused_ = false;
};

} // namespace mb
