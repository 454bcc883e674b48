#include "FindingListModel.h"

#include "KeptScrollBar.h"
#include "KeptTextDelegate.h"
#include "QtText.h"

#include <QStyle>

#include <algorithm>
#include <iterator>

namespace mb::qt {

namespace {

const char kNoFindings[] = "No errors or warnings in this library.";

} // namespace

// The two pictures are looked up once: each lookup searches the icon theme's folders.
FindingListModel::FindingListModel(const QStyle& style, Wording word, QObject* parent)
    : QAbstractListModel(parent), word_(std::move(word)),
      error_(style.standardIcon(QStyle::SP_MessageBoxCritical)),
      warning_(style.standardIcon(QStyle::SP_MessageBoxWarning)) {}

void FindingListModel::setLines(std::vector<LibraryFindingLine> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    keepPlaceholder();
    endResetModel();
}

void FindingListModel::replaceMaterial(int n, std::vector<LibraryFindingLine> lines) {
    if (lines_.size() == 1 && lines_.front().material < 0) {
        beginRemoveRows({}, 0, 0);
        lines_.clear();
        endRemoveRows();
    }
    const auto byMaterial = [](const LibraryFindingLine& line, int m) { return line.material < m; };
    const auto first = std::lower_bound(lines_.begin(), lines_.end(), n, byMaterial);
    const auto last = std::find_if(
        first, lines_.end(), [n](const LibraryFindingLine& line) { return line.material != n; });
    const int row = static_cast<int>(first - lines_.begin());
    if (last - first == static_cast<std::ptrdiff_t>(lines.size()) && !lines.empty()) {
        // An edit mostly keeps a material's count of findings: lines changed in place leave
        // the list's layout alone and repaint only those rows, if they are on show.
        std::move(lines.begin(), lines.end(), first);
        for (int i = 0; i < static_cast<int>(lines.size()); ++i)
            emit dataChanged(index(row + i), index(row + i));
        return;
    }
    if (first != last) {
        beginRemoveRows({}, row, row + static_cast<int>(last - first) - 1);
        lines_.erase(first, last);
        endRemoveRows();
    }
    if (!lines.empty()) {
        beginInsertRows({}, row, row + static_cast<int>(lines.size()) - 1);
        lines_.insert(lines_.begin() + row, std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
        endInsertRows();
    }
    insertPlaceholderIfEmpty();
}

void FindingListModel::renumber(const std::vector<int>& numbers) {
    const auto numberOf = [&numbers](int old) {
        return old >= 0 && static_cast<std::size_t>(old) < numbers.size()
                   ? numbers[static_cast<std::size_t>(old)]
                   : -1;
    };
    // A removal or an insertion keeps the materials in their order, a move takes one out of
    // it: the materials of the longest run whose numbers still rise keep their rows, and
    // only the others' lines are taken out, and put back where their numbers now go. The
    // list keeps its place and its current line, as a reset of the model would not.
    std::vector<int> olds;
    std::vector<int> news;
    for (const LibraryFindingLine& line : lines_) {
        const int now = numberOf(line.material);
        if (now < 0 || (!olds.empty() && olds.back() == line.material)) continue;
        olds.push_back(line.material);
        news.push_back(now);
    }
    const std::vector<bool> rising = longestRise(news);
    std::vector<bool> keepsRows(numbers.size(), false);
    for (std::size_t i = 0; i < olds.size(); ++i)
        keepsRows[static_cast<std::size_t>(olds[i])] = rising[i];
    const auto stays = [&](const LibraryFindingLine& line) {
        return line.material < 0 ||
               (numberOf(line.material) >= 0 && keepsRows[static_cast<std::size_t>(line.material)]);
    };
    std::vector<LibraryFindingLine> moving;
    for (std::size_t end = lines_.size(); end > 0;) {
        if (stays(lines_[end - 1])) {
            --end;
            continue;
        }
        std::size_t begin = end - 1;
        while (begin > 0 && !stays(lines_[begin - 1]))
            --begin;
        for (std::size_t i = begin; i < end; ++i)
            if (const int now = numberOf(lines_[i].material); now >= 0) {
                lines_[i].material = now;
                moving.push_back(std::move(lines_[i]));
            }
        beginRemoveRows({}, static_cast<int>(begin), static_cast<int>(end) - 1);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin),
                     lines_.begin() + static_cast<std::ptrdiff_t>(end));
        endRemoveRows();
        end = begin;
    }

    int firstChanged = -1;
    int lastChanged = -1;
    for (std::size_t row = 0; row < lines_.size(); ++row) {
        LibraryFindingLine& line = lines_[row];
        if (line.material < 0 || numberOf(line.material) == line.material) continue;
        line.material = numberOf(line.material);
        if (firstChanged < 0) firstChanged = static_cast<int>(row);
        lastChanged = static_cast<int>(row);
    }
    if (firstChanged >= 0)
        emit dataChanged(index(firstChanged), index(lastChanged), {Qt::UserRole});

    // Lines moved together stay together, in their order.
    std::stable_sort(moving.begin(), moving.end(),
                     [](const LibraryFindingLine& a, const LibraryFindingLine& b) {
                         return a.material < b.material;
                     });
    for (auto first = moving.begin(); first != moving.end();) {
        const int n = first->material;
        const auto last = std::find_if(first, moving.end(), [n](const LibraryFindingLine& line) {
            return line.material != n;
        });
        std::vector<LibraryFindingLine> lines(std::make_move_iterator(first),
                                              std::make_move_iterator(last));
        replaceMaterial(n, std::move(lines));
        first = last;
    }
    insertPlaceholderIfEmpty();
}

std::vector<bool> FindingListModel::longestRise(const std::vector<int>& values) {
    std::vector<std::size_t> tails; // per length, the rise of that length with the lowest end
    std::vector<std::ptrdiff_t> before(values.size(), -1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), values[i],
                                         [&values](std::size_t t, int v) { return values[t] < v; });
        if (at != tails.begin()) before[i] = static_cast<std::ptrdiff_t>(*(at - 1));
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> in(values.size(), false);
    for (std::ptrdiff_t i = tails.empty() ? -1 : static_cast<std::ptrdiff_t>(tails.back()); i >= 0;
         i = before[static_cast<std::size_t>(i)])
        in[static_cast<std::size_t>(i)] = true;
    return in;
}

void FindingListModel::unword() {
    for (LibraryFindingLine& line : lines_)
        if (line.material >= 0) line.text.clear();
    if (!lines_.empty())
        emit dataChanged(index(0), index(static_cast<int>(lines_.size()) - 1), {Qt::DisplayRole});
}

void FindingListModel::insertPlaceholderIfEmpty() {
    if (!lines_.empty()) return;
    beginInsertRows({}, 0, 0);
    keepPlaceholder();
    endInsertRows();
}

void FindingListModel::keepPlaceholder() {
    if (lines_.empty()) lines_.push_back({-1, RowMark::Error, kNoFindings});
}

const std::string& FindingListModel::textAt(std::size_t row) const {
    const LibraryFindingLine& line = lines_[row];
    const int n = line.material;
    if (line.text.empty() && n >= 0 && word_) {
        // A material's lines stand together, in the order its checks give them.
        std::size_t first = row;
        while (first > 0 && lines_[first - 1].material == n)
            --first;
        std::vector<LibraryFindingLine> worded = word_(n);
        for (std::size_t i = 0;
             i < worded.size() && first + i < lines_.size() && lines_[first + i].material == n; ++i)
            lines_[first + i].text = std::move(worded[i].text);
    }
    return line.text;
}

int FindingListModel::materialAt(int row) const {
    return row >= 0 && row < static_cast<int>(lines_.size())
               ? lines_[static_cast<std::size_t>(row)].material
               : -1;
}

int FindingListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant FindingListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
    const LibraryFindingLine& line = lines_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return toQ(textAt(static_cast<std::size_t>(index.row())));
    case Qt::DecorationRole:
        if (line.material < 0) return {};
        return line.severity == RowMark::Error ? error_ : warning_;
    case Qt::UserRole:
        return line.material < 0 ? QVariant() : QVariant(line.material);
    default:
        return {};
    }
}

// Qt gives every line of a list of uniform lines the size of its last line, so the list's
// width changed with its last line: moving the last material away and back drew the
// horizontal scroll bar again, twice. The width only grows while the list holds the lines
// of one check.
class FindingListView::LineDelegate final : public KeptTextDelegate {
public:
    using KeptTextDelegate::KeptTextDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = KeptTextDelegate::sizeHint(option, index);
        widest_ = std::max(widest_, size.width());
        size.setWidth(widest_);
        return size;
    }
    void forgetWidth() { widest_ = 0; }

private:
    mutable int widest_ = 0;
};

FindingListView::FindingListView(QWidget* parent)
    : QListView(parent), delegate_(new LineDelegate(this)) {
    setUniformItemSizes(true);
    setItemDelegate(delegate_);
    // Every change of the lines lays the list out, and Qt then draws both scroll bars again.
    setHorizontalScrollBar(new KeptScrollBar(Qt::Horizontal, this));
    setVerticalScrollBar(new KeptScrollBar(Qt::Vertical, this));
}

void FindingListView::setModel(QAbstractItemModel* model) {
    QListView::setModel(model);
    if (!model) return;
    // Lines put in, taken out or renumbered (a Delete, a move, their undos) leave the list a
    // layout that Qt does on a timer, after the window has been drawn: the list, its scroll
    // bars and the dock were drawn again a frame later. Laid out at once, they are drawn
    // with the rest.
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, [this] { layOutNow(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        delegate_->forgetWidth();
        layOutNow();
    });
}

void FindingListView::layOutNow() {
    if (holding_)
        layoutDue_ = true;
    else
        doItemsLayout();
}

void FindingListView::changeInOne(const std::function<void()>& change) {
    // A move's undo takes lines out and puts them back, and each layout of the largest
    // library's list costs a quarter of a millisecond.
    holding_ = true;
    change();
    holding_ = false;
    if (layoutDue_) {
        layoutDue_ = false;
        doItemsLayout();
    }
}

void FindingListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                  const QList<int>& roles) {
    // A material's new number is not drawn.
    if (roles == QList<int>{Qt::UserRole}) return;
    // Only the last line's size counts for the layout (QListView measures that one).
    if (bottomRight.row() + 1 >= model()->rowCount())
        QListView::dataChanged(topLeft, bottomRight, roles);
    else
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

} // namespace mb::qt
