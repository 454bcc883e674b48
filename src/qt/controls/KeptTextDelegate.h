#pragma once
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <memory>

namespace mb::qt {

/// Draws an item's text from a laid-out copy kept by text and font, and keeps its size: the grid
/// and the tree repaint every visible item after each edit, click and unit switch, and laying the
/// same few hundred texts out again each time was a large part of those frames. Everything but the
/// text is drawn by the style as before; a text too wide for its place is left to the style, which
/// elides it.
class KeptTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    /// The style's size for the item, kept by what it depends on: fitting a column asks it
    /// of every cell in the column after each edit.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// The closed editor deleted later, out of its cell first.
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    mutable QHash<QString, QStaticText> kept_;
    /// Where closed editors wait to be deleted: a window never shown, so their going
    /// repaints nothing, and deleted with the delegate should the wait outlast it.
    mutable std::unique_ptr<QWidget> closed_;
    mutable QHash<QString, QSize> sizes_;
};

} // namespace mb::qt
