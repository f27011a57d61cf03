// SPDX-License-Identifier: GPL-3.0-or-later
// The telegram import on arbitrary text: the first byte answers the length and
// checksum questions (bit 0 and bit 1: Yes), the rest is the file. Scanning,
// correcting, checking, decoding and filling the data table must stay inside
// their buffers and add at most one row per record and a status row.
#include "operations/station.h"

#include <cstdlib>

using namespace quorven;

namespace {

class FuzzPrompter final : public Prompter {
public:
    explicit FuzzPrompter(std::uint8_t answers) : answers_(answers) {}
    void showMessage(const QString&, const QString&) override {}
    Answer askYesNo(const QString&, const QString&) override {
        const bool yes = (answers_ & 1) != 0;
        answers_ >>= 1;
        return yes ? Answer::Yes : Answer::No;
    }
    Answer askYesNoCancel(const QString&, const QString&) override { return Answer::Cancel; }
    QString fileToOpen(const QString&, const QString&) override { return {}; }
    QString fileToSave(const QString&, const QString&) override { return {}; }

private:
    std::uint8_t answers_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 16384) {
        return 0;
    }
    FuzzPrompter prompter(data[0]);
    Station station(prompter);
    station.options().MultiTel_CheckBox = (data[0] & 4) != 0;
    const QByteArray text(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    const ImportResult result = station.ImportText(text);
    const int rows = station.tables().dataTable().RowCount();
    if (rows > 1 + 256 || (result != ImportResult::RowsAdded && rows != 1)) {
        std::abort();
    }
    return 0;
}
