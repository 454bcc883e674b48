#include "aboutForm.h"

#include "AppImages.h"
#include "Controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mb::qt {

aboutForm::aboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName("aboutForm");
    setWindowTitle("About Material Browser ");
    setWindowIcon(appIcon("about"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* picture = new QLabel(this);
    picture->setObjectName("Picture1");
    picture->setPixmap(appPixmap("about", 64));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = new QLabel(kApplicationTitle, this);
    title->setObjectName("Label1");
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    auto* version = new QLabel("Version 3.0", this);
    version->setObjectName("Label3");

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("aboutOKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { aboutOKButton_Click(); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(340, 150)));
}

void aboutForm::aboutOKButton_Click() {
    hide();
    deleteLater();
}

void QtAboutBox::show() {
    // A box that OK has hidden is on its way out: the next "About" gets a new one.
    if (!box_ || box_->isHidden()) box_ = new aboutForm(owner_);
    box_->show();
    box_->raise();
    box_->activateWindow();
}

} // namespace mb::qt
