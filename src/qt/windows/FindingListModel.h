#pragma once
#include "MaterialFeedback.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QListView>

#include <functional>
#include <string_view>
#include <vector>

class QStyle;

namespace mb::qt {

/// The Check Library list's lines, kept as the checks give them and turned into text only
/// for the rows on show: the largest library has thousands of findings, and an edit
/// replaces the lines of the materials it touched, found by number, not the whole list.
/// Lines may come without their words (text empty); the first time one is shown, `word`
/// gives its material's lines, worded, in the same order, and they are kept.
class FindingListModel final : public QAbstractListModel {
public:
    using Wording = std::function<std::vector<LibraryFindingLine>(int material)>;
    FindingListModel(const QStyle& style, Wording word, QObject* parent);

    /// Every line of the library; the placeholder line when there is none.
    void setLines(std::vector<LibraryFindingLine> lines);
    /// Puts `lines` in place of material n's lines. Lines stay in material order.
    void replaceMaterial(int n, std::vector<LibraryFindingLine> lines);
    /// Materials moved to other numbers: each line goes with its material to number
    /// `numbers[old]`, or goes when that is -1 (or beyond `numbers`), and the lines are put
    /// back in number order, as rows taken out and put in: the list is not reset.
    void renumber(const std::vector<int>& numbers);
    /// Every line loses its words, to be worded again when next shown: the findings stay,
    /// their values are to be given in another unit system.
    void unword();
    /// The material of row `row`, -1 for the placeholder line.
    int materialAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    /// Which of `values` make up a longest run of them that rises, in their order.
    static std::vector<bool> longestRise(const std::vector<int>& values);
    // One line that stands for none, so that the list never looks empty by mistake.
    void keepPlaceholder();
    // The same, as a row put in, for a list that lines were taken out of.
    void insertPlaceholderIfEmpty();
    const std::string& textAt(std::size_t row) const;

    Wording word_;
    // Mutable: lines are worded when first shown.
    mutable std::vector<LibraryFindingLine> lines_;
    QIcon error_;
    QIcon warning_;
};

/// The list of findings: lines of one height, whose last line gives them all their width.
/// QListView lays every line out again and repaints itself whole, scroll bars included, on
/// any change of data; a line an edit changes is drawn again where it is instead.
class FindingListView final : public QListView {
public:
    /// Its lines are drawn by a delegate that lays each text out once: the lines on show
    /// are drawn again with every edit.
    explicit FindingListView(QWidget* parent = nullptr);
    void setModel(QAbstractItemModel* model) override;
    /// Makes `change` to the model and lays the list out once after it, however many times
    /// it puts lines in or takes them out.
    void changeInOne(const std::function<void()>& change);

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;

private:
    class LineDelegate;
    void layOutNow();
    LineDelegate* delegate_;
    bool holding_ = false;
    bool layoutDue_ = false;
};

} // namespace mb::qt
