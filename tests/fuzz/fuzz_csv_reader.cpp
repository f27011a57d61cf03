// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV reader on arbitrary bytes: the first byte picks the separator, the
// rest is the file. Whatever the reader makes of a file must come back cell
// for cell when written and read again.
#include "tables/csv_reader.h"
#include "tables/csv_writer.h"

#include <QBuffer>

#include <array>
#include <cstdlib>

using namespace quorven;

namespace {

constexpr std::array<char16_t, 8> kSeparators = {u',', u';', u'\t', u'|', u' ', u'§', u'a', u'"'};

CsvReadResult Read(const QByteArray& bytes, QChar separator) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvLimits limits;
    limits.maxFileBytes = 1 << 20;
    limits.maxLineBytes = 4096;
    limits.maxColumns = 64;
    limits.maxRows = 2000;
    return ReadCsv(buffer, separator, limits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const QChar separator(kSeparators[data[0] % kSeparators.size()]);
    const QByteArray file(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    CsvReadResult first = Read(file, separator);
    if (first.status != CsvStatus::Ok || first.rows.empty()) {
        return 0;
    }
    GridModel table(0);
    const std::size_t rows = first.rows.size();
    table.ReplaceRows(std::move(first.rows), first.columns);

    QBuffer written;
    written.open(QIODevice::WriteOnly);
    if (!WriteCsv(table, separator, written)) {
        std::abort();
    }
    const CsvReadResult second = Read(written.data(), separator);
    if (second.status != CsvStatus::Ok || second.rows.size() != rows ||
        second.columns != table.ColCount() || second.windows1250) {
        std::abort();
    }
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < table.ColCount(); ++c) {
            if (second.rows[r].cell(c) != table.CellUtf8(c, static_cast<int>(r))) {
                std::abort();
            }
        }
    }
    return 0;
}
