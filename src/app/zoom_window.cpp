// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/zoom_window.h"

#include "app/grid_view.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorven {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("M-Bus data"));
    setModal(false);
    setSizeGripEnabled(true);
    resize(760, 583);

    AdvStringGrid3 = new GridView(this);
    AdvStringGrid3->setObjectName(QStringLiteral("AdvStringGrid3"));
    Hide_Button = new QPushButton(QStringLiteral("&Close"), this);
    Hide_Button->setObjectName(QStringLiteral("Hide_Button"));
    Hide_Button->setToolTip(QStringLiteral("Close data list"));
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
}

void TForm2::Hide_ButtonClick() {
    emit hideClicked();
    hide();
}

} // namespace quorven
