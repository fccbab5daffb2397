#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/TArticle.h"
#include "store/TExportLabels.h"

// The text export (doc/export-text.md): records written as plain cp932 text with the
// chosen fields and labels.
//
// Per record: for each chosen field in the order Subject, Date, From, Newsgroup its label,
// value and CR LF; the Date as "d mmm yyyy hh:nn:ss" ("5 Jun 2001 09:07:03"; a record
// without a date gets the label alone); with the Article a CR LF and the article text;
// then CR LF CR LF. The whole text loses its leading and trailing bytes up to 0x20. So
// records are separated by two empty lines, and with no field chosen the text is empty.

namespace exporttext {

// The field choice: a set of these flags.
enum Field : int { kSubject = 1, kDate = 2, kFrom = 4, kNewsgroup = 8, kArticle = 16 };
inline constexpr int kAllFields = kSubject | kDate | kFrom | kNewsgroup | kArticle;

// "d mmm yyyy hh:nn:ss" with English month abbreviations.
std::string FormatExportDate(const TTimestamp& date);

// Builds the text record by record and hands it to a sink in pieces, so an export of any
// size needs memory for one record only. Finish() drops the trailing blanks held back.
class TExportWriter {
  public:
    using Sink = std::function<void(std::string_view)>;

    TExportWriter(int fields, TExportLabels labels, Sink sink);
    void Add(const TArticle& record);
    // Ends the text: the blanks after the last record are not written.
    void Finish() { pending_.clear(); }

  private:
    void Emit(std::string_view piece);

    int fields_;
    TExportLabels labels_;
    Sink sink_;
    bool started_ = false;  // something other than leading blanks was written
    std::string pending_;   // blanks held back until more text follows them
    std::string record_;
};

// The whole text of these records (tests and small exports).
std::string BuildExportText(int fields, const TExportLabels& labels,
                            const std::vector<TArticle>& records);

// The export file. Opening keeps an earlier file of the same name: it becomes the file
// with the extension ".bak" (an older ".bak" is replaced). Throws EFileError
// "Cannot create file "<path>". <reason>" when the file cannot be created (the earlier
// file is then already the ".bak" file) and "Cannot write file ..." when writing fails.
class TExportFile {
  public:
    explicit TExportFile(const std::string& path);
    ~TExportFile();
    TExportFile(const TExportFile&) = delete;
    TExportFile& operator=(const TExportFile&) = delete;

    void Write(std::string_view bytes);
    // Flushes and closes; throws when the data did not reach the file.
    void Close();
    TExportWriter::Sink Sink() {
        return [this](std::string_view bytes) { Write(bytes); };
    }

    // "<path without its extension>.bak".
    static std::string BackupPath(const std::string& path);

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

}  // namespace exporttext
