#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TDbxImpl;
class TDbxStream;

// Reads the messages of one Outlook Express 5 folder file (.dbx; layout in
// doc/dbx-format.md): the raw text of every message that is downloaded and not yet read,
// in index order, for the conversion engine to parse. The reader only reads: it never
// writes to, locks or repairs a store file.
//
// One parser serves the conversion of one file; it owns its index walker, whose offset
// table lives until the parser goes. Runs on the import thread; not thread-safe.
class TOE5_DbxParser {
  public:
    // The part of the header ReadMessages needs (its fields end at 0xE8); a file shorter
    // than this is refused.
    static constexpr std::size_t kHeaderBytesRead = 2351;
    static constexpr std::size_t kMessageCountField = 0xC4;
    static constexpr std::size_t kMessageRootField = 0xE4;

    static constexpr std::uint32_t kFlagDownloaded = 0x01;  // the body is in the file
    static constexpr std::uint32_t kFlagRead = 0x80;

    // What the message walk sees of one message record.
    struct MessageInfo {
        std::uint32_t RecordOffset = 0;
        std::optional<std::uint32_t> Flags;  // attribute 0x01/0x81; absent = unread, downloaded
        std::uint32_t TextOffset = 0;        // attribute 0x04/0x84; 0 = none

        // Downloaded, unread and with a text: a message ReadMessages takes.
        bool Wanted() const {
            const std::uint32_t flags = Flags.value_or(kFlagDownloaded);
            return (flags & kFlagDownloaded) && !(flags & kFlagRead) && TextOffset != 0;
        }
    };

    TOE5_DbxParser();
    ~TOE5_DbxParser();
    TOE5_DbxParser(const TOE5_DbxParser&) = delete;
    TOE5_DbxParser& operator=(const TOE5_DbxParser&) = delete;

    // Clears `messages`, then appends the raw text of every downloaded, unread message of
    // the file at `path`, in index order. `stopFlag` is tested before each message; once it
    // is set the call returns normally with the messages read so far. The file is opened
    // without a lock and closed on every way out.
    //
    // A damaged message record (short, wrong marker, attributes outside its body) ends the
    // list quietly with the messages before it. Throws EFileError when the file cannot be
    // opened and DbxException for a short header, a broken index or a broken text chain
    // (the messages appended before it stay in the list). Abandoned runs unwind with
    // EAborted.
    void ReadMessages(const std::string& path, std::vector<std::string>& messages,
                      const std::atomic<bool>& stopFlag);
    // The same over an open stream, which stays open.
    void ReadMessages(TDbxStream& stream, std::vector<std::string>& messages,
                      const std::atomic<bool>& stopFlag);

    // The messages ReadMessages would list, handed to `take` one at a time in the same
    // order (the text is the callee's to move from; it is dropped once `take` returns), so
    // that no more than one message's text is held at once. `take` returns false to end
    // the walk; `stopFlag` and OnProgress act as in ReadMessages.
    //
    // The file is walked twice. The first walk reads every record and every wanted text's
    // block heads and keeps nothing, so that a store ReadMessages would refuse fails here
    // too before the first message is handed over; the second reads and hands over. (A
    // file changed by another program between the walks may still fail in the second.)
    void ForEachMessage(const std::string& path, const std::function<bool(std::string&)>& take,
                        const std::atomic<bool>& stopFlag);
    void ForEachMessage(TDbxStream& stream, const std::function<bool(std::string&)>& take,
                        const std::atomic<bool>& stopFlag);

    // The walk under ReadMessages, without its choice: calls `visit` for every message
    // record in index order, whatever its flags, until a damaged record or until `visit`
    // returns false. Returns the number of records visited. Same errors as ReadMessages;
    // an empty index (count or root 0) visits nothing.
    std::size_t ScanMessages(TDbxStream& stream,
                             const std::function<bool(const MessageInfo&)>& visit);

    // Called before each message record with the record's position in the index and the
    // index's entry count (for a progress bar); it may set the stop flag. Optional.
    std::function<void(std::size_t position, std::size_t count)> OnProgress;

    // The index walker, for reading the text of a record that ScanMessages reported; valid
    // while the stream given to ScanMessages is open.
    TDbxImpl& Impl() { return *impl_; }

  private:
    // The loop of both: `proceed` is asked before each record, `visit` after reading it;
    // either ends the walk by returning false.
    std::size_t Walk(TDbxStream& stream, const std::function<bool(std::size_t)>& proceed,
                     const std::function<bool(const MessageInfo&)>& visit);

    std::unique_ptr<TDbxImpl> impl_;
};
