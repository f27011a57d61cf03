// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/modem_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quorven {

namespace {

template <class W> W* Named(W* w, const char* name, const char* hint = nullptr) {
    w->setObjectName(QString::fromLatin1(name));
    if (hint) {
        w->setToolTip(QString::fromUtf8(hint));
    }
    return w;
}

} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Modem"));
    setModal(true);

    Label1 = Named(new QLabel(QStringLiteral("&Modem configuration:"), this), "Label1");
    Conf_Edit = Named(new QLineEdit(QStringLiteral("AT&FU1^M"), this), "Conf_Edit",
                      "M-Bus Modem configuration string e.g. AT&FU1^M");
    Label2 = Named(new QLabel(QStringLiteral("&Phone number:"), this), "Label2");
    Dial_Edit = Named(new QLineEdit(this), "Dial_Edit", "Phone number");
    Pulse_CheckBox = Named(new QCheckBox(QStringLiteral("&Pulse dial"), this), "Pulse_CheckBox",
                           "Pulse or tone dialing");
    Moddial_Button = Named(new QPushButton(QStringLiteral("&Dial"), this), "Moddial_Button",
                           "Dial phone number");
    Modclose_Button = Named(new QPushButton(QStringLiteral("&Close"), this), "Modclose_Button",
                            "Close Modem window");
    Label3 = Named(new QLabel(QStringLiteral("állapot:"), this), "Label3");
    Modstat_StaticText = Named(new QLabel(QStringLiteral("szabad"), this), "Modstat_StaticText");
    Label1->setBuddy(Conf_Edit);
    Label2->setBuddy(Dial_Edit);
    Moddial_Button->setAutoDefault(false);
    Modclose_Button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Conf_Edit, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Dial_Edit, 1, 1);
    grid->addWidget(Pulse_CheckBox, 2, 1);
    auto* status = new QHBoxLayout;
    status->addWidget(Label3);
    status->addWidget(Modstat_StaticText, 1);
    grid->addLayout(status, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Moddial_Button);
    buttons->addWidget(Modclose_Button);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(Moddial_Button, &QPushButton::clicked, this, &TForm4::dialClicked);
    connect(Modclose_Button, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm4::FormCreate(const QString& modemInit, const QString& phoneNumber, bool pulseDial) {
    Conf_Edit->setText(modemInit);
    Dial_Edit->setText(phoneNumber);
    Pulse_CheckBox->setChecked(pulseDial);
}

void TForm4::setModemStatus(const QString& text) {
    Modstat_StaticText->setText(text);
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm4::FormShow() {
    if (Dial_Edit->text().isEmpty()) {
        Dial_Edit->setFocus();
    } else {
        Moddial_Button->setFocus();
    }
}

} // namespace quorven
