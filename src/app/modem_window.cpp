// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/modem_window.h"

#include "app/shown_texts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quorven {

namespace {

template <class W> W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setModal(true);

    Label1 = Named(new QLabel(this), "Label1");
    Conf_Edit = Named(new QLineEdit(QStringLiteral("AT&FU1^M"), this), "Conf_Edit");
    Label2 = Named(new QLabel(this), "Label2");
    Dial_Edit = Named(new QLineEdit(this), "Dial_Edit");
    Pulse_CheckBox = Named(new QCheckBox(this), "Pulse_CheckBox");
    Moddial_Button = Named(new QPushButton(this), "Moddial_Button");
    Modclose_Button = Named(new QPushButton(this), "Modclose_Button");
    Label3 = Named(new QLabel(this), "Label3");
    Modstat_StaticText = Named(new QLabel(this), "Modstat_StaticText");
    status_ = QStringLiteral("szabad");
    dialCaption_ = QStringLiteral("&Dial");
    RetranslateUi();
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
    status_ = text;
    Modstat_StaticText->setText(ShownText(text));
}

void TForm4::setDialCaption(const QString& caption) {
    dialCaption_ = caption;
    Moddial_Button->setText(ShownText(caption));
}

void TForm4::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
    }
}

void TForm4::RetranslateUi() {
    setWindowTitle(tr("Modem"));
    Label1->setText(tr("&Modem configuration:"));
    Conf_Edit->setToolTip(tr("M-Bus Modem configuration string e.g. AT&FU1^M"));
    Label2->setText(tr("&Phone number:"));
    Dial_Edit->setToolTip(tr("Phone number"));
    Pulse_CheckBox->setText(tr("&Pulse dial"));
    Pulse_CheckBox->setToolTip(tr("Pulse or tone dialing"));
    Moddial_Button->setToolTip(tr("Dial phone number"));
    Modclose_Button->setText(tr("&Close"));
    Modclose_Button->setToolTip(tr("Close Modem window"));
    Label3->setText(tr("állapot:"));
    setModemStatus(status_);
    setDialCaption(dialCaption_);
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
