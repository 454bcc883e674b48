#pragma once

// The simple controls of the editor window: Qt widgets that implement the control
// interfaces and report what the user does through their signals.

#include "Controls.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace mb::qt {

class QtButton : public QPushButton, public Button {
    Q_OBJECT
public:
    explicit QtButton(const QString& caption, QWidget* parent = nullptr);
    void setVisible(bool visible) override { QPushButton::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    std::string caption() const override;
};

class QtLabel : public QLabel, public Label {
    Q_OBJECT
public:
    explicit QtLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    void setVisible(bool visible) override { QLabel::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    void setCaption(const std::string& caption) override;
    std::string caption() const override;
};

/// A panel around other controls; a right-button press on its own background is reported.
class QtFrame : public QFrame, public Frame {
    Q_OBJECT
public:
    explicit QtFrame(QWidget* parent = nullptr) : QFrame(parent) {}
    void setVisible(bool visible) override { QFrame::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }

signals:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

/// A single-line text box that reports gaining and losing the input focus.
class QtTextBox : public QLineEdit, public TextBox {
    Q_OBJECT
public:
    explicit QtTextBox(QWidget* parent = nullptr) : QLineEdit(parent) {}
    void setVisible(bool visible) override { QLineEdit::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    std::string text() const override;
    void setText(const std::string& text) override;
    void setFocus() override { QLineEdit::setFocus(Qt::OtherFocusReason); }
    void setSelLength(int length) override;
    // One character of library text is one QChar (Latin-1), so the limits agree.
    void setMaxLength(int length) override { QLineEdit::setMaxLength(length); }
    void markStored() override;

signals:
    void gotFocus();
    void lostFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

/// A drop-down list. Only the user's choices are reported (`clicked`); setting the index
/// from code is silent.
class QtComboBox : public QComboBox, public ComboBox {
    Q_OBJECT
public:
    explicit QtComboBox(QWidget* parent = nullptr);
    void setVisible(bool visible) override { QComboBox::setVisible(visible); }
    bool isVisible() const override { return !isHidden(); }
    void clear() override { QComboBox::clear(); }
    void addItem(const std::string& text) override;
    int count() const override { return QComboBox::count(); }
    int listIndex() const override { return currentIndex(); }
    void setListIndex(int index) override;

signals:
    void clicked();
    void gotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace mb::qt
