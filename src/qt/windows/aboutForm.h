#pragma once

#include "MainWindowViews.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace mb::qt {

/// The about box. "OK" hides it and lets it go, so the next "About" makes a fresh one.
class aboutForm : public QDialog {
public:
    explicit aboutForm(QWidget* parent = nullptr);

private:
    void aboutOKButton_Click();
};

/// Shows the about box modelessly, making it first when none is open.
class QtAboutBox : public AboutBox {
public:
    explicit QtAboutBox(QWidget* owner) : owner_(owner) {}
    void show() override;
    /// The box on show, or null.
    aboutForm* current() const { return box_; }

private:
    QWidget* owner_;
    QPointer<aboutForm> box_;
};

} // namespace mb::qt
