// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/zoom_window.h"

#include "app/grid_view.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorven {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setModal(false);
    setSizeGripEnabled(true);
    resize(760, 583);

    AdvStringGrid3 = new GridView(this);
    AdvStringGrid3->setObjectName(QStringLiteral("AdvStringGrid3"));
    Hide_Button = new QPushButton(this);
    Hide_Button->setObjectName(QStringLiteral("Hide_Button"));
    Hide_Button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Hide_Button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(AdvStringGrid3, 1);
    layout->addLayout(buttons);

    connect(Hide_Button, &QPushButton::clicked, this, &TForm2::Hide_ButtonClick);
    RetranslateUi();
}

void TForm2::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
}

void TForm2::RetranslateUi() {
    setWindowTitle(tr("M-Bus data"));
    Hide_Button->setText(tr("&Close"));
    Hide_Button->setToolTip(tr("Close data list"));
}

void TForm2::Hide_ButtonClick() {
    emit hideClicked();
    hide();
}

} // namespace quorven
