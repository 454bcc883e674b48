#pragma once

#include "CompareWithLibrary.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace mb {
struct AppState;
class EditorView;
class MessageBox;

namespace qt {

/// "Compare with Library...": the differences between the open library and another one
/// read from a file, a line each as `matlib diff` finds them, and "Take Over" for the
/// selected one where it can be taken into the open library.
class LibraryComparisonWindow : public QWidget {
    Q_OBJECT
public:
    LibraryComparisonWindow(AppState& state, EditorView& editor, MessageBox& messages,
                            QWidget* parent = nullptr);

    /// Reads the other library and lists the differences; the message when it cannot be read.
    std::string open(const std::string& path);
    /// Compares again with the open library as it is now.
    void refresh();
    /// Takes over the selected difference.
    void takeOverSelected();

    CompareWithLibrary& logic() { return logic_; }
    QTreeWidget& list() { return *list_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateButton();

    CompareWithLibrary logic_;
    QLabel* caption_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* takeOver_ = nullptr;
};

} // namespace qt
} // namespace mb
