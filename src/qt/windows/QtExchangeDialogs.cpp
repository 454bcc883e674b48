#include "QtExchangeDialogs.h"

#include "Controls.h"
#include "QtText.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mb::qt {

MaterialPickerWidget::MaterialPickerWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("materialPicker"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    findBox_ = new QLineEdit(this);
    findBox_->setObjectName(QStringLiteral("findBox"));
    findBox_->setPlaceholderText(QStringLiteral("Find: words, \"a phrase\", EX>2E11, DENS"));
    findBox_->setClearButtonEnabled(true);
    column->addWidget(findBox_);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("materialList"));
    list_->setHeaderHidden(true);
    list_->setUniformRowHeights(true);
    column->addWidget(list_, 1);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("findStatus"));
    status_->setWordWrap(true);
    column->addWidget(status_);

    connect(findBox_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (handler_) handler_->findBox_Change(fromQ(text));
    });
    connect(list_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { itemChanged(item); });
}

void MaterialPickerWidget::showLines(const std::vector<PickerLine>& lines) {
    updating_ = true;
    if (lines.size() != items_.size()) {
        list_->clear();
        items_.clear();
        QTreeWidgetItem* category = nullptr;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PickerLine& line = lines[i];
            auto* item = line.material < 0 || !category
                             ? new QTreeWidgetItem(list_, {toQ(line.text)})
                             : new QTreeWidgetItem(category, {toQ(line.text)});
            if (line.material < 0) category = item;
            item->setData(0, Qt::UserRole, static_cast<int>(i));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            items_.push_back(item);
        }
        list_->expandAll();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Qt::CheckState state = lines[i].checked ? Qt::Checked : Qt::Unchecked;
        // A category some of whose materials are checked says so.
        for (std::size_t m = i + 1; lines[i].material < 0 && !lines[i].checked &&
                                    m < lines.size() && lines[m].material >= 0;
             ++m)
            if (lines[m].checked) state = Qt::PartiallyChecked;
        items_[i]->setCheckState(0, state);
        items_[i]->setHidden(lines[i].hidden);
    }
    updating_ = false;
}

void MaterialPickerWidget::setStatus(const std::string& status) {
    status_->setText(toQ(status));
    status_->setVisible(!status.empty());
}

void MaterialPickerWidget::itemChanged(QTreeWidgetItem* item) {
    if (updating_ || !handler_) return;
    handler_->line_Check(item->data(0, Qt::UserRole).toInt(), item->checkState(0) == Qt::Checked);
}

namespace {

QDialogButtonBox* Buttons(QDialog& dialog, const QString& accept, const char* name) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QString::fromLatin1(name));
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

class QtImportFromLibraryDialog final : public ImportFromLibraryDialog {
public:
    explicit QtImportFromLibraryDialog(QWidget* parent) : dialog_(new QDialog(parent)) {
        dialog_->setObjectName(QStringLiteral("ImportFromLibraryDialog"));
        dialog_->setWindowTitle(QStringLiteral("Import Materials from Library"));
        auto* column = new QVBoxLayout(dialog_);
        caption_ = new QLabel(dialog_);
        caption_->setObjectName(QStringLiteral("importCaption"));
        caption_->setWordWrap(true);
        column->addWidget(caption_);
        picker_ = new MaterialPickerWidget(dialog_);
        column->addWidget(picker_, 1);
        column->addWidget(Buttons(*dialog_, QStringLiteral("&Import"), "importButton"));
        dialog_->resize(500, 560);
    }
    ~QtImportFromLibraryDialog() override { delete dialog_; }

    void showLines(const std::vector<PickerLine>& lines) override { picker_->showLines(lines); }
    void setStatus(const std::string& status) override { picker_->setStatus(status); }
    void setSource(const std::string& path) override {
        const QString file = QFile::decodeName(QByteArray::fromStdString(path));
        dialog_->setWindowTitle(
            QStringLiteral("Import Materials from %1").arg(QFileInfo(file).fileName()));
        caption_->setText(QStringLiteral("Check the materials of %1 to add to the open library. "
                                         "Each keeps its category; a name the library has "
                                         "already can be added as a copy.")
                              .arg(QFileInfo(file).fileName()));
        caption_->setToolTip(file);
    }
    void setImportEnabled(bool enabled) override {
        if (auto* button = dialog_->findChild<QPushButton*>(QStringLiteral("importButton")))
            button->setEnabled(enabled);
    }
    bool exec(MaterialPickerHandler& handler) override {
        picker_->setHandler(&handler);
        const bool accepted = dialog_->exec() == QDialog::Accepted;
        if (dialog_) picker_->setHandler(nullptr);
        return accepted;
    }

private:
    QPointer<QDialog> dialog_;
    QLabel* caption_ = nullptr;
    MaterialPickerWidget* picker_ = nullptr;
};

class QtExportDialog final : public ExportDialog {
public:
    explicit QtExportDialog(QWidget* parent) : dialog_(new QDialog(parent)) {
        dialog_->setObjectName(QStringLiteral("ExportDialog"));
        dialog_->setWindowTitle(QStringLiteral("Export"));
        auto* row = new QHBoxLayout;

        auto* what = new QGroupBox(QStringLiteral("Materials"), dialog_);
        auto* whatColumn = new QVBoxLayout(what);
        selected_ = new QRadioButton(what);
        selected_->setObjectName(QStringLiteral("selectedMaterial"));
        chosen_ = new QRadioButton(QStringLiteral("&These materials:"), what);
        chosen_->setObjectName(QStringLiteral("chosenMaterials"));
        whole_ = new QRadioButton(QStringLiteral("The &whole library"), what);
        whole_->setObjectName(QStringLiteral("wholeLibrary"));
        scopes_ = new QButtonGroup(dialog_);
        scopes_->addButton(selected_, static_cast<int>(ExportScope::SelectedMaterial));
        scopes_->addButton(chosen_, static_cast<int>(ExportScope::ChosenMaterials));
        scopes_->addButton(whole_, static_cast<int>(ExportScope::WholeLibrary));
        whatColumn->addWidget(selected_);
        whatColumn->addWidget(whole_);
        whatColumn->addWidget(chosen_);
        picker_ = new MaterialPickerWidget(what);
        whatColumn->addWidget(picker_, 1);
        row->addWidget(what, 1);

        auto* how = new QGroupBox(QStringLiteral("Format"), dialog_);
        auto* form = new QFormLayout(how);
        format_ = new QComboBox(how);
        format_->setObjectName(QStringLiteral("formatCombo"));
        format_->addItems({QStringLiteral("JSON"), QStringLiteral("CSV"),
                           QStringLiteral("Excel workbook (xlsx)"),
                           QStringLiteral("CalculiX cards")});
        form->addRow(QStringLiteral("&Format:"), format_);
        units_ = new QComboBox(how);
        units_->setObjectName(QStringLiteral("unitsCombo"));
        form->addRow(QStringLiteral("&Units:"), units_);
        auto* note =
            new QLabel(QStringLiteral("JSON and CalculiX cards are always written in SI."), how);
        note->setWordWrap(true);
        form->addRow(note);
        auto* side = new QVBoxLayout;
        side->addWidget(how);
        side->addStretch(1);
        row->addLayout(side);

        auto* column = new QVBoxLayout(dialog_);
        column->addLayout(row, 1);
        auto* buttons = Buttons(*dialog_, QStringLiteral("&Export..."), "exportButton");
        export_ = buttons->findChild<QPushButton*>(QStringLiteral("exportButton"));
        column->addWidget(buttons);
        dialog_->resize(660, 520);

        const auto changed = [this] {
            if (handler_) handler_->choice_Change(choice());
        };
        QObject::connect(scopes_, &QButtonGroup::idClicked, dialog_, changed);
        QObject::connect(format_, &QComboBox::currentIndexChanged, dialog_, changed);
        QObject::connect(units_, &QComboBox::currentIndexChanged, dialog_, changed);
    }
    ~QtExportDialog() override { delete dialog_; }

    void showLines(const std::vector<PickerLine>& lines) override { picker_->showLines(lines); }
    void setStatus(const std::string& status) override { picker_->setStatus(status); }
    void setup(const std::string& selectedMaterial, const std::vector<std::string>& unitSystems,
               const ExportChoice& initial) override {
        selected_->setText(selectedMaterial.empty()
                               ? QStringLiteral("The &selected material")
                               : QStringLiteral("The &selected material, %1")
                                     .arg(toQ(selectedMaterial).replace('&', "&&")));
        selected_->setEnabled(!selectedMaterial.empty());
        units_->clear();
        for (const std::string& caption : unitSystems)
            units_->addItem(toQ(caption));
        scopes_->button(static_cast<int>(initial.scope))->setChecked(true);
        format_->setCurrentIndex(static_cast<int>(initial.format));
        units_->setCurrentIndex(initial.unitSystem);
    }
    void setUnitsEnabled(bool enabled) override { units_->setEnabled(enabled); }
    void setPickerEnabled(bool enabled) override { picker_->setEnabled(enabled); }
    void setExportEnabled(bool enabled) override { export_->setEnabled(enabled); }
    std::optional<ExportChoice> exec(ExportDialogHandler& handler) override {
        handler_ = &handler;
        picker_->setHandler(&handler);
        const bool accepted = dialog_->exec() == QDialog::Accepted;
        handler_ = nullptr;
        if (!dialog_) return std::nullopt;
        picker_->setHandler(nullptr);
        return accepted ? std::optional(choice()) : std::nullopt;
    }

private:
    ExportChoice choice() const {
        return {static_cast<ExportScope>(scopes_->checkedId()),
                static_cast<ExportFormat>(format_->currentIndex()), units_->currentIndex()};
    }

    QPointer<QDialog> dialog_;
    QRadioButton* selected_ = nullptr;
    QRadioButton* chosen_ = nullptr;
    QRadioButton* whole_ = nullptr;
    QButtonGroup* scopes_ = nullptr;
    MaterialPickerWidget* picker_ = nullptr;
    QComboBox* format_ = nullptr;
    QComboBox* units_ = nullptr;
    QPushButton* export_ = nullptr;
    ExportDialogHandler* handler_ = nullptr;
};

} // namespace

std::unique_ptr<ImportFromLibraryDialog> QtExchangeDialogs::importFromLibraryDialog() {
    return std::make_unique<QtImportFromLibraryDialog>(parent_);
}

std::unique_ptr<ExportDialog> QtExchangeDialogs::exportDialog() {
    return std::make_unique<QtExportDialog>(parent_);
}

CollisionAnswer QtExchangeDialogs::askNameCollision(const std::string& name,
                                                    const std::string& copyName) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle),
                    QStringLiteral("The open library has a material named \"%1\" already.\n\n"
                                   "Add it as \"%2\", or skip it?")
                        .arg(toQ(name), toQ(copyName)),
                    QMessageBox::NoButton, parent_);
    box.setObjectName(QStringLiteral("nameCollisionBox"));
    const std::pair<const char*, CollisionAnswer> choices[] = {
        {"Add as &Copy", CollisionAnswer::Copy},
        {"&Skip", CollisionAnswer::Skip},
        {"Copy &All", CollisionAnswer::CopyAll},
        {"Skip A&ll", CollisionAnswer::SkipAll},
    };
    std::vector<std::pair<QAbstractButton*, CollisionAnswer>> buttons;
    for (const auto& [caption, answer] : choices)
        buttons.emplace_back(box.addButton(QString::fromLatin1(caption), QMessageBox::AcceptRole),
                             answer);
    QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front().first));
    box.setEscapeButton(cancel);
    box.exec();
    for (const auto& [button, answer] : buttons)
        if (box.clickedButton() == button) return answer;
    return CollisionAnswer::Cancel;
}

} // namespace mb::qt
