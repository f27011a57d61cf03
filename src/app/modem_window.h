// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quorven {

// The modem window: configuration string, phone number, pulse dialling, the
// dial/hang-up button and the modem's status. Shown modally by the main
// window's "&Modem" button; "&Close" leaves a call up.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // Takes the modem settings read at start ("Telini", "Telnr", "Telpuls").
    void FormCreate(const QString& modemInit, const QString& phoneNumber, bool pulseDial);

    QLabel* Label1 = nullptr;
    QLineEdit* Conf_Edit = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Dial_Edit = nullptr;
    QCheckBox* Pulse_CheckBox = nullptr;
    QPushButton* Moddial_Button = nullptr;
    QPushButton* Modclose_Button = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Modstat_StaticText = nullptr;

    void setModemStatus(const QString& text);

signals:
    // The dial button was pressed; its caption tells dial ("&Dial") from
    // hang-up ("&Hangup").
    void dialClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

} // namespace quorven
