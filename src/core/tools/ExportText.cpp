#include "tools/ExportText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/EError.h"
#include "import/TMyFiler.h"

namespace exporttext {
namespace {

constexpr std::string_view kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

void appendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string FormatExportDate(const TTimestamp& date) {
    std::string out = std::to_string(date.day);
    out += ' ';
    out += kMonths[(date.month >= 1 && date.month <= 12) ? date.month - 1 : 0];
    out += ' ';
    std::string year = std::to_string(date.year);
    out.append(year.size() < 4 ? 4 - year.size() : 0, '0');
    out += year;
    out += ' ';
    appendTwoDigits(out, date.hour);
    out += ':';
    appendTwoDigits(out, date.minute);
    out += ':';
    appendTwoDigits(out, date.second);
    return out;
}

TExportWriter::TExportWriter(int fields, TExportLabels labels, Sink sink)
    : fields_(fields), labels_(std::move(labels)), sink_(std::move(sink)) {}

void TExportWriter::Add(const TArticle& r) {
    record_.clear();
    auto field = [this](const std::string& label, std::string_view value) {
        record_ += label;
        record_ += value;
        record_ += "\r\n";
    };
    if (fields_ & kSubject)
        field(labels_.Subject, r.Subject);
    if (fields_ & kDate)
        field(labels_.Date, r.Date ? FormatExportDate(*r.Date) : std::string());
    if (fields_ & kFrom)
        field(labels_.From, r.From);
    if (fields_ & kNewsgroup)
        field(labels_.Newsgroup, r.Newsgroup);
    if (fields_ & kArticle) {
        record_ += "\r\n";
        Emit(record_);
        Emit(r.Article);  // written from the record itself: no copy of a long article
        record_.clear();
    }
    record_ += "\r\n\r\n";
    Emit(record_);
}

void TExportWriter::Emit(std::string_view piece) {
    std::size_t end = piece.size();
    while (end > 0 && isBlank(piece[end - 1]))
        --end;
    if (end == 0) {
        // Blanks only: held back until text follows (dropped before the first text).
        if (started_)
            pending_.append(piece);
        return;
    }
    std::size_t begin = 0;
    if (!started_) {
        while (isBlank(piece[begin]))
            ++begin;
        started_ = true;
    }
    if (!pending_.empty()) {
        sink_(pending_);
        pending_.clear();
    }
    sink_(piece.substr(begin, end - begin));
    pending_.assign(piece.substr(end));
}

std::string BuildExportText(int fields, const TExportLabels& labels,
                            const std::vector<TArticle>& records) {
    std::string text;
    TExportWriter writer(fields, labels, [&text](std::string_view bytes) { text += bytes; });
    for (const TArticle& record : records)
        writer.Add(record);
    writer.Finish();
    return text;
}

std::string TExportFile::BackupPath(const std::string& path) {
    return ReplaceExtension(path, ".bak");
}

TExportFile::TExportFile(const std::string& path) : path_(path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        const std::string backup = BackupPath(path);
        // Exporting to a ".bak" name itself simply replaces that file.
        if (backup != path) {
            std::filesystem::remove(backup, ec);
            std::filesystem::rename(path, backup, ec);
            // Never truncate an earlier export that could not be kept.
            if (ec)
                throw EFileError("Cannot create file \"" + backup + "\". " + ec.message());
        }
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        throw EFileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
}

TExportFile::~TExportFile() {
    if (file_)
        std::fclose(file_);
}

void TExportFile::Write(std::string_view bytes) {
    if (bytes.empty())
        return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        throw EFileError("Cannot write file \"" + path_ + "\". " + std::strerror(errno));
}

void TExportFile::Close() {
    if (!file_)
        return;
    const bool flushed = std::fflush(file_) == 0;
    const int error = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed)
        throw EFileError("Cannot write file \"" + path_ + "\". " +
                         std::strerror(flushed ? errno : error));
}

}  // namespace exporttext
