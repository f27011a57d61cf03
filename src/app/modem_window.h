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

    // The modem's status and the dial button's caption as the station
    // reports them; shown in the window's language.
    void setModemStatus(const QString& text);
    void setDialCaption(const QString& caption);

signals:
    // The dial button was pressed; its caption tells dial ("&Dial") from
    // hang-up ("&Hangup").
    void dialClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormShow();
    void RetranslateUi();

    QString status_;
    QString dialCaption_;
};

} // namespace quorven
