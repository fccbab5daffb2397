#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Reads the messages of an mbox file one at a time (RFC 4155, mboxo/mboxrd; the rules for
// where a message ends are in doc/mailboxes.md). The file is only read, never changed.
//
// Streaming: the reader holds the message being cut out plus one read chunk and a few
// header lines of look-ahead, never the whole file, so memory is bounded by the largest
// message. Not thread-safe; one owner at a time.
class TMboxReader {
  public:
    // Opens the file; EFileError naming it when it cannot be opened.
    explicit TMboxReader(const std::string& path);
    ~TMboxReader();
    TMboxReader(const TMboxReader&) = delete;
    TMboxReader& operator=(const TMboxReader&) = delete;

    // The next message: its bytes after the envelope ("From ") line up to the next message's
    // envelope line, with one ">" taken off every line that matches ">+From " (the mboxrd
    // quoting), line ends as in the file. False at the end of the file. A file whose first
    // line (after a UTF-8 byte-order mark and empty lines) is not a "From " line throws
    // ENParseError "[Error] File type mismatch"; a read error throws EFileError. A file
    // holding nothing but the mark and empty lines has no message.
    bool Next(std::string& message);

    // The number (from 1) of the message Next returned last; 0 before the first.
    int MessageNumber() const { return number_; }

    // Whether the file begins (after a UTF-8 byte-order mark) with a "From " line: how an
    // mbox without an extension is recognised. False when it cannot be read.
    static bool StartsWithFromLine(const std::string& path);

    // The number of messages Next would give; throws as Next does.
    static int CountMessages(const std::string& path);

  private:
    void Begin();
    bool Fill();
    bool HaveBytes(std::size_t end);
    std::size_t LineEnd(std::size_t from);
    bool ContentLengthEnd(std::size_t headerFrom, std::size_t& end);
    std::size_t NextEnvelope(std::size_t from);
    bool StartsMessage(std::size_t lineStart);
    bool HeaderBlockFollows(std::size_t from);
    void CopyUnquoted(std::size_t from, std::size_t to, std::string& message) const;

    std::string path_;
    int fd_ = -1;
    std::string buf_;              // bytes read and not yet given out (from pos_ on)
    std::size_t pos_ = 0;          // start of the next message's envelope line in buf_
    std::uint64_t bufOffset_ = 0;  // file offset of buf_[0]
    bool eof_ = false;
    bool started_ = false;
    int number_ = 0;
};
