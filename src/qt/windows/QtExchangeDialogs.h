#pragma once

#include "ExchangeDialogs.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace mb::qt {

/// A library's materials under their categories, each with a check box, and a find box
/// above them. What the user does goes to the handler set while a dialog runs.
class MaterialPickerWidget final : public QWidget, public MaterialPickerView {
public:
    explicit MaterialPickerWidget(QWidget* parent = nullptr);

    void showLines(const std::vector<PickerLine>& lines) override;
    void setStatus(const std::string& status) override;
    void setHandler(MaterialPickerHandler* handler) { handler_ = handler; }

    QLineEdit& findBox() const { return *findBox_; }
    QTreeWidget& list() const { return *list_; }

private:
    void itemChanged(QTreeWidgetItem* item);

    QLineEdit* findBox_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<QTreeWidgetItem*> items_; // one per line
    MaterialPickerHandler* handler_ = nullptr;
    bool updating_ = false;
};

/// The dialogs of the exchange commands, modal to `parent`.
class QtExchangeDialogs final : public ExchangeDialogs {
public:
    explicit QtExchangeDialogs(QWidget* parent) : parent_(parent) {}
    std::unique_ptr<ImportFromLibraryDialog> importFromLibraryDialog() override;
    std::unique_ptr<ExportDialog> exportDialog() override;
    CollisionAnswer askNameCollision(const std::string& name, const std::string& copyName) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace mb::qt
