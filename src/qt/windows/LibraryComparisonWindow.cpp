#include "LibraryComparisonWindow.h"

#include "PropertyCatalogue.h"
#include "QtText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mb::qt {

namespace {

const char* KindWord(LibraryDifference::Kind kind) {
    switch (kind) {
    case LibraryDifference::Kind::Added:
        return "added";
    case LibraryDifference::Kind::Removed:
        return "removed";
    case LibraryDifference::Kind::Moved:
        return "moved";
    case LibraryDifference::Kind::NameCode:
        return "namecode";
    case LibraryDifference::Kind::Description:
        return "description";
    case LibraryDifference::Kind::Value:
        return "value";
    }
    return "";
}

} // namespace

LibraryComparisonWindow::LibraryComparisonWindow(AppState& state, EditorView& editor,
                                                 MessageBox& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(state, editor, messages) {
    setObjectName(QStringLiteral("LibraryComparisonWindow"));
    auto* column = new QVBoxLayout(this);
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("libraryComparisonCaption"));
    caption_->setWordWrap(true);
    column->addWidget(caption_);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("differences"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("Difference"), QStringLiteral("Material"),
                            QStringLiteral("Property"), QStringLiteral("Open library"),
                            QStringLiteral("Other library")});
    column->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    takeOver_ = new QPushButton(QStringLiteral("&Take Over"), this);
    takeOver_->setObjectName(QStringLiteral("takeOver"));
    takeOver_->setToolTip(
        QStringLiteral("Adds the material, or sets the value, as the other library has it"));
    buttons->addWidget(takeOver_);
    column->addLayout(buttons);

    connect(takeOver_, &QPushButton::clicked, this, [this] { takeOverSelected(); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { updateButton(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { takeOverSelected(); });
    resize(720, 420);
}

std::string LibraryComparisonWindow::open(const std::string& path) {
    std::string message = logic_.open(path);
    if (message.empty()) refresh();
    return message;
}

void LibraryComparisonWindow::refresh() {
    if (logic_.path().empty()) return;
    logic_.refresh();
    const int current = list_->currentIndex().row();
    list_->clear();
    const auto& catalogue = PropertyCatalogue::instance();
    for (const LibraryDifference& d : logic_.comparison().differences) {
        const std::string code = d.slot >= 0 ? catalogue.PropCode(d.slot) : std::string();
        auto* item =
            new QTreeWidgetItem({QString::fromLatin1(KindWord(d.kind)), toQ(d.name), toQ(code),
                                 toQ(logic_.shownSide(d, false)), toQ(logic_.shownSide(d, true))});
        if (!CompareWithLibrary::canTakeOver(d))
            item->setForeground(0, palette().color(QPalette::PlaceholderText));
        list_->addTopLevelItem(item);
    }
    for (int c = 0; c < list_->columnCount(); ++c)
        list_->resizeColumnToContents(c);
    const int count = list_->topLevelItemCount();
    if (count > 0)
        list_->setCurrentItem(list_->topLevelItem(std::min(std::max(current, 0), count - 1)));
    const QString other = toQ(logic_.path());
    setWindowTitle(QStringLiteral("Compare with %1").arg(other));
    caption_->setText(
        count == 0 ? QStringLiteral("The open library and %1 hold the same materials and values.")
                         .arg(other)
                   : QStringLiteral("%1 differences from the open library to %2 (read only). An "
                                    "added material and a changed value can be taken over.")
                         .arg(count)
                         .arg(other));
    updateButton();
}

void LibraryComparisonWindow::takeOverSelected() {
    const int row = list_->currentIndex().row();
    if (row < 0) return;
    if (logic_.takeOver(static_cast<std::size_t>(row))) refresh();
}

void LibraryComparisonWindow::updateButton() {
    const int row = list_->currentIndex().row();
    const auto& differences = logic_.comparison().differences;
    takeOver_->setEnabled(
        row >= 0 && static_cast<std::size_t>(row) < differences.size() &&
        CompareWithLibrary::canTakeOver(differences[static_cast<std::size_t>(row)]));
}

void LibraryComparisonWindow::changeEvent(QEvent* event) {
    // The open library may have changed while another window was in front.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
    QWidget::changeEvent(event);
}

} // namespace mb::qt
