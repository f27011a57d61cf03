// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPushButton;
class QTableView;

namespace quorven {

// The zoom window: the data table at full window size. Its own "&Close" button
// hides it and ends the mirroring; closing it by the frame only hides it.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QTableView* AdvStringGrid3 = nullptr;
    QPushButton* Hide_Button = nullptr;

signals:
    // The "&Close" button was pressed: the zoom-open flag is to be cleared.
    void hideClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void Hide_ButtonClick();
    void RetranslateUi();
};

} // namespace quorven
