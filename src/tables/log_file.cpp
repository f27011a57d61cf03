// SPDX-License-Identifier: GPL-3.0-or-later
#include "tables/log_file.h"

#include "tables/csv_writer.h"
#include "tables/separator.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorven {

namespace {

// The rows handed to the system in one call: a cycle fits in one piece.
constexpr std::size_t kPieceBytes = std::size_t(1) << 20;
// How far back a part of a row left at the end of the file is looked for.
constexpr qint64 kRepairBytes = 1 << 20;

// The lines to append and where each ends; the header line, when it is
// there, is line 0.
struct Lines {
    std::string bytes;
    std::vector<std::size_t> ends;
};

Lines LinesOf(const GridModel& table, int first, int last, bool header, QChar separator) {
    const std::string sep = SeparatorUtf8(separator);
    Lines lines;
    if (header) {
        AppendCsvRow(lines.bytes, table, 0, sep);
        lines.ends.push_back(lines.bytes.size());
    }
    for (int r = std::max(first, 1); r <= last && r < table.RowCount(); ++r) {
        AppendCsvRow(lines.bytes, table, r, sep);
        lines.ends.push_back(lines.bytes.size());
    }
    return lines;
}

// The file behind the append, without a buffer of its own.
class RawFile {
public:
    explicit RawFile(const QString& name) : name_(name) {}
    ~RawFile() { Close(); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool Open(QString* error) {
#ifdef Q_OS_UNIX
        const QByteArray path = QFile::encodeName(name_);
        do {
            // Read too, for the end of the file; non-blocking: a name that leads
            // to a pipe nobody reads fails at once.
            fd_ = ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK,
                         0666);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) {
            *error = qt_error_string(errno);
            return false;
        }
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            *error = qt_error_string(errno);
            return false;
        }
        size_ = st.st_size;
        return true;
#else
        file_.setFileName(name_);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            *error = file_.errorString();
            return false;
        }
        size_ = file_.size();
        return true;
#endif
    }

    int fd() const {
        return fd_;
    }
    qint64 size() const {
        return size_;
    }

    qint64 Write(const char* data, qint64 size) {
#ifdef Q_OS_UNIX
        return ::write(fd_, data, static_cast<std::size_t>(size));
#else
        return file_.write(data, size);
#endif
    }

    bool Cut(qint64 size, QString* error) {
#ifdef Q_OS_UNIX
        int r = 0;
        do {
            r = ::ftruncate(fd_, static_cast<off_t>(size));
        } while (r != 0 && errno == EINTR);
        if (r != 0) {
            *error = qt_error_string(errno);
        }
        return r == 0;
#else
        if (!file_.resize(size)) {
            *error = file_.errorString();
            return false;
        }
        return true;
#endif
    }

    // A file that does not end with a line end (a program killed while it
    // wrote) is cut back to its last one, at most kRepairBytes back; returns
    // the bytes cut away.
    qint64 CutPartialLine() {
#ifdef Q_OS_UNIX
        if (size_ == 0) {
            return 0;
        }
        const qint64 from = std::max<qint64>(0, size_ - kRepairBytes);
        std::string tail(static_cast<std::size_t>(size_ - from), '\0');
        if (::pread(fd_, tail.data(), tail.size(), static_cast<off_t>(from)) !=
                static_cast<ssize_t>(tail.size()) ||
            tail.back() == '\n') {
            return 0;
        }
        // Only after a line this program ends its rows with (CR LF): a file
        // of someone else's is not cut.
        const std::size_t end = tail.rfind('\n');
        if (end == std::string::npos || end == 0 || tail[end - 1] != '\r') {
            return 0;
        }
        const qint64 keep = from + qint64(end) + 1;
        QString error;
        if (!Cut(keep, &error)) {
            return 0;
        }
        const qint64 cut = size_ - keep;
        size_ = keep;
        return cut;
#else
        return 0;
#endif
    }

    bool Sync(QString* error) {
#ifdef Q_OS_UNIX
        int r = 0;
        do {
            r = ::fsync(fd_);
        } while (r != 0 && errno == EINTR);
        if (r != 0) {
            *error = qt_error_string(errno);
        }
        return r == 0;
#else
        static_cast<void>(error);
        return true;
#endif
    }

private:
    void Close() {
#ifdef Q_OS_UNIX
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
#endif
    }

    QString name_;
    int fd_ = -1;
    qint64 size_ = 0;
#ifndef Q_OS_UNIX
    QFile file_;
#endif
};

// Hands the lines to the file in pieces that end at line ends; returns how
// many bytes the file took and sets *error when it took fewer.
std::size_t WritePieces(RawFile& file, const Lines& lines, const LogWrite& write, QString* error) {
    std::size_t done = 0;
    std::size_t line = 0;
    const std::size_t total = lines.bytes.size();
    while (done < total) {
        // The next piece: whole lines, at least one, up to kPieceBytes.
        std::size_t end = done;
        while (line < lines.ends.size() &&
               (end == done || lines.ends[line] - done <= kPieceBytes)) {
            end = lines.ends[line++];
        }
        while (done < end) {
            const char* data = lines.bytes.data() + done;
            const auto size = static_cast<qint64>(end - done);
            errno = 0;
            const qint64 n = write ? write(file.fd(), data, size) : file.Write(data, size);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                // A write that takes nothing and says nothing is a full disk.
                *error = qt_error_string(n < 0 && errno != 0 ? errno : ENOSPC);
                return done;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    return done;
}

} // namespace

LogAppend AppendLogRows(const GridModel& table, int first, int last, const QString& fileName,
                        QChar separator, const LogWrite& write) {
    LogAppend result;
    RawFile file(fileName);
    if (!file.Open(&result.error)) {
        return result;
    }
    result.partCut = file.CutPartialLine();
    const qint64 oldSize = file.size();
    const bool header = oldSize == 0;
    const Lines lines = LinesOf(table, first, last, header, separator);
    const std::size_t taken = WritePieces(file, lines, write, &result.error);

    // The lines the file took whole.
    const auto whole = static_cast<std::size_t>(
        std::upper_bound(lines.ends.begin(), lines.ends.end(), taken) - lines.ends.begin());
    std::size_t keep = whole == 0 ? 0 : lines.ends[whole - 1];
    if (taken != keep) {
        QString cutError;
        if (!file.Cut(oldSize + static_cast<qint64>(keep), &cutError)) {
            result.cutFailed = true;
            result.cutOffset = oldSize + static_cast<qint64>(keep);
            result.error += QStringLiteral("; cutting the file back failed: ") + cutError;
        }
    }
    if (keep > 0) {
        QString syncError;
        if (!file.Sync(&syncError)) {
            // What the disk holds is unknown: the rows are taken back and written again.
            keep = 0;
            QString cutError;
            if (!file.Cut(oldSize, &cutError)) {
                result.cutFailed = true;
                result.cutOffset = oldSize;
            }
            result.error = syncError;
        }
    }
    const std::size_t headerLines = header ? 1 : 0;
    const auto linesKept = static_cast<std::size_t>(
        std::upper_bound(lines.ends.begin(), lines.ends.end(), keep) - lines.ends.begin());
    result.headerWritten = header && linesKept >= 1;
    result.rowsWritten = static_cast<int>(linesKept > headerLines ? linesKept - headerLines : 0);
    result.bytesWritten = static_cast<qint64>(keep);
    return result;
}

} // namespace quorven
