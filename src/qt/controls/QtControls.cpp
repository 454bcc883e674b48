#include "QtControls.h"

#include "QtText.h"

#include <QMouseEvent>
#include <QSignalBlocker>

namespace mb::qt {

QtButton::QtButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

std::string QtButton::caption() const {
    return fromQ(text());
}

void QtLabel::setCaption(const std::string& caption) {
    QLabel::setText(toQ(caption));
}

std::string QtLabel::caption() const {
    return fromQ(QLabel::text());
}

void QtFrame::mousePressEvent(QMouseEvent* event) {
    QFrame::mousePressEvent(event);
    emit mousePressed(event->button(), event->modifiers(), event->globalPosition().toPoint());
}

std::string QtTextBox::text() const {
    return fromQ(QLineEdit::text());
}

void QtTextBox::setText(const std::string& text) {
    QLineEdit::setText(toQ(text));
}

void QtTextBox::setSelLength(int length) {
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    if (length <= 0) {
        deselect();
        setCursorPosition(start);
        return;
    }
    setSelection(start, length);
}

void QtTextBox::markStored() {
    // Setting the text is the one way to empty the box's undo; where the cursor and the
    // marked text were is put back, so the user types on where they were.
    const int cursor = cursorPosition();
    const int start = selectionStart();
    const int length = selectedText().size();
    {
        const QSignalBlocker quiet(this);
        QLineEdit::setText(QLineEdit::text());
    }
    if (start >= 0 && length > 0)
        setSelection(cursor == start ? start + length : start, cursor == start ? -length : length);
    else
        setCursorPosition(cursor);
}

void QtTextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit gotFocus();
}

void QtTextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit lostFocus();
}

QtComboBox::QtComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::activated, this, [this] { emit clicked(); });
}

void QtComboBox::addItem(const std::string& text) {
    QComboBox::addItem(toQ(text));
}

void QtComboBox::setListIndex(int index) {
    setCurrentIndex(index >= 0 && index < QComboBox::count() ? index : -1);
}

void QtComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    emit gotFocus();
}

} // namespace mb::qt
