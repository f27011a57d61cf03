// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorven {

// What the data-table filling needs to know about the read it fills in, set
// by its callers before each telegram. The data write position itself is kept
// with the tables (Tables::dataWritePosition).
struct ReadContext {
    QString installationPlace; // slave list column 0 of the slave being read
    QString dateText;          // "dd.mm.yy"
    QString timeText;
    // The slave's record selection ("2,5,7"; empty: every record). The
    // filling consumes entries from its front.
    QString recordSelection;
    QString primaryAddressText; // slave list columns 1 and 2, as typed
    QString idText;
    // Added to a record's index to give the number shown; carried from one
    // telegram to the next only during a multi-telegram read.
    int recordOffset = 0;
    // True: rows go to the data write position. False: rows go after the
    // data table's last row.
    bool writePositionFlag = true;
};

} // namespace quorven
