#include "KeptTextDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace mb::qt {

namespace {

// What is kept under `key`, made by `make` the first time. A view shows a few hundred items
// at a time; a long session is not let to grow.
template <typename T, typename Make>
const T& Kept(QHash<QString, T>& kept, const QString& key, Make make) {
    if (const auto found = kept.find(key); found != kept.end()) return *found;
    if (kept.size() > 4096) kept.clear();
    return *kept.insert(key, make());
}

} // namespace

void KeptTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    if (opt.text.isEmpty() || opt.text.contains(QLatin1Char('\n'))) {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        return;
    }
    const QStaticText& text = laidOut(opt.text, opt.font);
    // The text's place is the rest of the item beside its picture, whatever the text: asked
    // without it, the style does not lay the text out to find its size.
    QStyleOptionViewItem bare = opt;
    bare.text.clear();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &bare, widget)
                           .adjusted(margin, 0, -margin, 0);
    const QSize size = text.size().toSize();
    if (size.width() > area.width()) {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        return;
    }
    style->drawControl(QStyle::CE_ItemViewItem, &bare, painter, widget);
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                            : QPalette::Inactive;
    const QPalette::ColorRole role =
        opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setPen(opt.palette.color(group, role));
    painter->setFont(opt.font);
    painter->setClipRect(area, Qt::IntersectClip);
    const QRect at = QStyle::alignedRect(opt.direction, opt.displayAlignment, size, area);
    painter->drawStaticText(at.topLeft(), text);
    painter->restore();
}

QSize KeptTextDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    if (index.data(Qt::SizeHintRole).isValid()) return QStyledItemDelegate::sizeHint(option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // What the style's size depends on: the text and its font, which parts the item has
    // (a picture, a check box, wrapping), and the picture's size.
    QString key = opt.font.key() + QLatin1Char('\x1f') + QString::number(opt.features.toInt());
    if (opt.features & QStyleOptionViewItem::HasDecoration)
        key += QLatin1Char('\x1f') + QString::number(opt.decorationSize.width()) +
               QLatin1Char('x') + QString::number(opt.decorationSize.height());
    key += QLatin1Char('\x1f') + opt.text;
    return Kept(sizes_, key, [&] { return QStyledItemDelegate::sizeHint(option, index); });
}

const QStaticText& KeptTextDelegate::laidOut(const QString& text, const QFont& font) const {
    return Kept(kept_, font.key() + QLatin1Char('\x1f') + text, [&] {
        QStaticText made(text);
        made.setTextFormat(Qt::PlainText);
        made.setPerformanceHint(QStaticText::AggressiveCaching);
        made.prepare(QTransform(), font);
        return made;
    });
}

void KeptTextDelegate::destroyEditor(QWidget* editor, const QModelIndex&) const {
    // A child widget marks its place in its parent dirty as it is deleted, hidden or not: the
    // editor, deleted once the edit's own repaint was done, drew its cell a frame later.
    // Moved out of the viewport first, it goes unseen. Not at once: the focus change that
    // closed it is reported after this, and the grid knows it lost the focus by the editor
    // being its child.
    if (!closed_) closed_ = std::make_unique<QWidget>();
    QMetaObject::invokeMethod(
        editor,
        [editor, closed = closed_.get()] {
            editor->setParent(closed);
            editor->deleteLater();
        },
        Qt::QueuedConnection);
}

} // namespace mb::qt
