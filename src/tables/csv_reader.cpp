// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/csv_reader.h"

#include "tables/file_error.h"
#include "tables/separator.h"
#include "tables/text_encoding.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace quorven {

namespace {

constexpr char kCellLineBreak = 11;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr qint64 kChunkBytes = qint64{1} << 20;

// Appends a cell's raw text with "" made one quote and character 11 made CR LF.
void AppendCell(std::string& text, std::vector<std::uint32_t>& ends, std::string_view raw) {
    if (raw.find('"') == std::string_view::npos &&
        raw.find(kCellLineBreak) == std::string_view::npos) {
        text += raw;
    } else {
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
                text += '"';
                ++i;
            } else if (c == kCellLineBreak) {
                text += "\r\n";
            } else {
                text += c;
            }
        }
    }
    ends.push_back(static_cast<std::uint32_t>(text.size()));
}

// The closing quote of a quoted cell whose text (after the opening quote) is
// `body`; npos when the cell is never closed.
std::size_t ClosingQuote(std::string_view body) {
    std::size_t i = body.find('"');
    while (i != std::string_view::npos) {
        std::size_t run = 1;
        while (i + run < body.size() && body[i + run] == '"') {
            ++run;
        }
        if (run % 2 == 1 && i + run < body.size()) {
            return i + run - 1;
        }
        i = body.find('"', i + run);
    }
    if (!body.empty() && body.back() == '"') {
        return body.size() - 1;
    }
    return std::string_view::npos;
}

bool IsAscii(std::string_view s) {
    std::size_t i = 0;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if ((w & kHighBits) != 0) {
            return false;
        }
    }
    for (; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Splits a device into lines at CR LF, LF or CR, reading it in chunks. A line
// returned stays valid until the next call.
class LineSource {
public:
    enum class Next { Line, End, TooLong, TooLarge, ReadError };

    LineSource(QIODevice& in, const CsvLimits& limits)
        : in_(in), limits_(limits), chunk_(static_cast<std::size_t>(kChunkBytes)) {}

    Next next(std::string_view& line) {
        carry_.clear();
        bool carrying = false;
        for (;;) {
            if (pos_ == len_) {
                if (eof_) {
                    if (carrying) {
                        line = carry_;
                        return Next::Line;
                    }
                    return Next::End;
                }
                const Next refilled = refill();
                if (refilled != Next::Line) {
                    return refilled;
                }
                continue;
            }
            if (skipLf_) {
                skipLf_ = false;
                if (chunk_[pos_] == '\n') {
                    ++pos_;
                    continue;
                }
            }
            const std::size_t e = lineEnd();
            const std::string_view piece(chunk_.data() + pos_, e - pos_);
            if (e == len_) {
                carry_ += piece;
                carrying = true;
                pos_ = len_;
                if (carry_.size() > limits_.maxLineBytes) {
                    return Next::TooLong;
                }
                continue;
            }
            skipLf_ = chunk_[e] == '\r';
            pos_ = e + 1;
            if (carrying) {
                carry_ += piece;
                line = carry_;
            } else {
                line = piece;
            }
            return line.size() > limits_.maxLineBytes ? Next::TooLong : Next::Line;
        }
    }

private:
    Next refill() {
        const qint64 n = in_.read(chunk_.data(), kChunkBytes);
        if (n < 0) {
            return Next::ReadError;
        }
        total_ += n;
        if (total_ > limits_.maxFileBytes) {
            return Next::TooLarge;
        }
        pos_ = 0;
        len_ = static_cast<std::size_t>(n);
        eof_ = n == 0;
        nextCr_ = nextLf_ = -1;
        return Next::Line;
    }

    // The first CR or LF at or after pos_, or len_.
    std::size_t lineEnd() {
        const auto find = [this](char c, std::ptrdiff_t& cache) {
            if (cache < static_cast<std::ptrdiff_t>(pos_)) {
                const void* p = std::memchr(chunk_.data() + pos_, c, len_ - pos_);
                cache = p ? static_cast<const char*>(p) - chunk_.data()
                          : static_cast<std::ptrdiff_t>(len_);
            }
            return static_cast<std::size_t>(cache);
        };
        return std::min(find('\r', nextCr_), find('\n', nextLf_));
    }

    QIODevice& in_;
    const CsvLimits& limits_;
    std::vector<char> chunk_;
    std::string carry_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::ptrdiff_t nextCr_ = -1;
    std::ptrdiff_t nextLf_ = -1;
    qint64 total_ = 0;
    bool eof_ = false;
    bool skipLf_ = false;
};

enum class Encoding { Utf8, Windows1250 };

// One pass over the file in the given encoding; NeedsOther when a UTF-8 pass
// meets a line that is not UTF-8.
struct PassResult {
    CsvReadResult result;
    bool needsWindows1250 = false;
};

PassResult ReadPass(QIODevice& in, std::string_view separator, const CsvLimits& limits,
                    Encoding encoding) {
    PassResult pass;
    CsvReadResult& r = pass.result;
    r.windows1250 = encoding == Encoding::Windows1250;
    LineSource source(in, limits);
    std::string text;
    std::string converted;
    std::vector<std::uint32_t> ends;
    std::string_view line;
    const auto fail = [&r](CsvStatus status) {
        r.status = status;
        r.line = static_cast<qint64>(r.rows.size()) + 1;
        r.rows.clear();
        r.rows.shrink_to_fit();
    };
    for (bool first = true;; first = false) {
        switch (source.next(line)) {
        case LineSource::Next::Line:
            break;
        case LineSource::Next::End:
            return pass;
        case LineSource::Next::TooLong:
            fail(CsvStatus::LineTooLong);
            return pass;
        case LineSource::Next::TooLarge:
            fail(CsvStatus::TooLarge);
            return pass;
        case LineSource::Next::ReadError:
            fail(CsvStatus::ReadError);
            return pass;
        }
        if (first && line.starts_with(kByteOrderMark)) {
            line.remove_prefix(kByteOrderMark.size());
        }
        if (std::memchr(line.data(), '\0', line.size()) != nullptr) {
            fail(CsvStatus::NotText);
            return pass;
        }
        if (!IsAscii(line)) {
            if (encoding == Encoding::Utf8) {
                if (!IsValidUtf8(line)) {
                    pass.needsWindows1250 = true;
                    r.rows.clear();
                    r.rows.shrink_to_fit();
                    return pass;
                }
            } else {
                converted.clear();
                AppendWindows1250AsUtf8(converted, line);
                line = converted;
            }
        }
        if (static_cast<qint64>(r.rows.size()) >= limits.maxRows) {
            fail(CsvStatus::TooManyRows);
            return pass;
        }
        ParseCsvLine(line, separator, text, ends);
        if (ends.size() > static_cast<std::size_t>(limits.maxColumns)) {
            fail(CsvStatus::TooManyColumns);
            return pass;
        }
        r.columns = std::max(r.columns, static_cast<int>(ends.size()));
        r.rows.emplace_back(text, ends);
    }
}

QString Refusal(const QString& fileName, const CsvReadResult& r, const CsvLimits& limits) {
    const QString prefix = QStringLiteral("Cannot load file ") + fileName + QStringLiteral(": ");
    switch (r.status) {
    case CsvStatus::Ok:
    case CsvStatus::ReadError:
        break;
    case CsvStatus::NotText:
        return prefix +
               QStringLiteral("line %1 holds NUL bytes; it is not a text file").arg(r.line);
    case CsvStatus::LineTooLong:
        return prefix + QStringLiteral("line %1 is longer than %2 bytes")
                            .arg(r.line)
                            .arg(static_cast<qulonglong>(limits.maxLineBytes));
    case CsvStatus::TooManyColumns:
        return prefix +
               QStringLiteral("line %1 has more than %2 cells").arg(r.line).arg(limits.maxColumns);
    case CsvStatus::TooManyRows:
        return prefix + QStringLiteral("it has more than %1 lines").arg(limits.maxRows);
    case CsvStatus::TooLarge:
        return prefix + QStringLiteral("it is larger than %1 bytes").arg(limits.maxFileBytes);
    }
    return QStringLiteral("Cannot open file ") + fileName;
}

} // namespace

void ParseCsvLine(std::string_view line, std::string_view separator, std::string& text,
                  std::vector<std::uint32_t>& ends) {
    text.clear();
    ends.clear();
    if (separator.empty()) {
        return;
    }
    // Most lines have no quote and no line-break character: cut at separators.
    if (line.find('"') == std::string_view::npos &&
        line.find(kCellLineBreak) == std::string_view::npos) {
        std::size_t pos = 0;
        for (std::size_t s = line.find(separator); s != std::string_view::npos;
             s = line.find(separator, pos)) {
            text.append(line.data() + pos, s - pos);
            ends.push_back(static_cast<std::uint32_t>(text.size()));
            pos = s + separator.size();
        }
        if (pos < line.size()) {
            text.append(line.data() + pos, line.size() - pos);
            ends.push_back(static_cast<std::uint32_t>(text.size()));
        }
        return;
    }
    std::size_t pos = 0;
    for (;;) {
        const std::string_view rest = line.substr(pos);
        const std::size_t s = rest.find(separator);
        if (s == std::string_view::npos) {
            break;
        }
        if (rest.front() != '"') {
            AppendCell(text, ends, rest.substr(0, s));
            pos += s + separator.size();
            continue;
        }
        const std::string_view body = rest.substr(1);
        const std::size_t close = ClosingQuote(body);
        if (close == std::string_view::npos) {
            AppendCell(text, ends, body);
            return;
        }
        AppendCell(text, ends, body.substr(0, close));
        const std::size_t next = line.find(separator, pos + 1 + close + 1);
        if (next == std::string_view::npos) {
            return;
        }
        pos = next + separator.size();
    }
    std::string_view last = line.substr(pos);
    if (last.empty()) {
        return;
    }
    if (last.front() == '"') {
        last.remove_prefix(1);
    }
    if (!last.empty() && last.back() == '"') {
        last.remove_suffix(1);
    }
    AppendCell(text, ends, last);
}

CsvReadResult ReadCsv(QIODevice& in, QChar separator, const CsvLimits& limits) {
    const std::string sep = SeparatorUtf8(separator);
    PassResult pass = ReadPass(in, sep, limits, Encoding::Utf8);
    if (pass.needsWindows1250) {
        if (!in.seek(0)) {
            CsvReadResult failed;
            failed.status = CsvStatus::ReadError;
            return failed;
        }
        pass = ReadPass(in, sep, limits, Encoding::Windows1250);
    }
    return std::move(pass.result);
}

void LoadCsv(GridModel& table, const QString& fileName, QChar separator, const CsvLimits& limits) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileError(kCannotOpenFile, fileName, file.errorString());
    }
    CsvReadResult r = ReadCsv(file, separator, limits);
    if (r.status != CsvStatus::Ok) {
        throw FileError(Refusal(fileName, r, limits));
    }
    table.ReplaceRows(std::move(r.rows), r.columns);
}

} // namespace quorven
