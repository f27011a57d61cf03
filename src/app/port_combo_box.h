// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

#include <functional>

namespace quorven {

// The port box: before its list opens it has its entries described anew, so
// that a converter plugged in meanwhile shows as present.
class PortComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    std::function<void()> beforePopup;

    void showPopup() override {
        if (beforePopup) {
            beforePopup();
        }
        QComboBox::showPopup();
    }
};

} // namespace quorven
