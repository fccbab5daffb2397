#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/TRecordFields.h"
#include "import/IConversionEngine.h"
#include "script/THParserScriptHost.h"
#include "text/TMSManager.h"

class TScript;
namespace MailParser {
class MParser;
}

// The conversion engine: turns one source file into article records, choosing the
// converter by the file's extension (".eml"/".nws" messages, ".txt" files of several
// messages, ".dbx" Outlook Express stores, ".htm"/".html" web pages through the script;
// mbox files and Maildir folders, see Mailboxes.h),
// and calls OnRecord once for every finished record with Record complete.
//
// One engine per import, used on the converting thread only. It shares the process-wide
// message parser and HTML engine with nothing else that runs at the same time.
class TNParser : public IConversionEngine, private THParserScriptHost {
  public:
    TNParser();
    ~TNParser() override;

    // Loads the script lines for web pages when path is not empty (EFileError when it
    // cannot be read). Lines are cut at CR LF pairs.
    void SetScript(const std::string& path) override;
    void SetOnRecord(std::function<void()> onRecord) override { OnRecord = std::move(onRecord); }
    // Converts one file. Throws ENParseError, EError (file, message or store errors),
    // EScriptError (a web page's script stopped at a line) or, for a damaged store,
    // DbxException. Records handed over before a failure stay handed over.
    void Convert(const std::string& path) override;
    void SetStopFlag() override { StopFlag.store(true); }
    const TRecordFields& Fields() const override { return Record; }
    void SetMailOptions(const MailParser::TParseOptions& options) override {
        MailOptions = options;
    }

    // The last step of every converter: one record with `article` as its text, or one per
    // part of a long article (afterwards `article` is empty and Subject carries the last
    // part's suffix).
    void PostArticle(std::string& article) override;

    // Whether a Maildir's Maildir++ subfolders (".Name") are read too; off unless asked for.
    void SetMaildirSubfolders(bool on) { maildirSubfolders_ = on; }

    // "mm/dd/yyyy" for the script's "#D"; today's local date unless set (tests, --today).
    void SetToday(std::string today) { today_ = std::move(today); }

    TRecordFields Record;
    std::array<std::string, 3> SignatureNames;
    std::vector<std::string> MessageList;
    TMSManager Page;
    std::vector<std::string> ScriptLines;
    std::string ScriptPath;
    std::atomic<bool> StopFlag{false};
    // Passed to every parse of a message (mail, news, text-file articles, store messages).
    MailParser::TParseOptions MailOptions;
    std::function<void()> OnRecord;

    // The text converter's message cutting over what is left of a file's content (which
    // the call advances): the next message, up to the blank line before a line that starts
    // a message. Public for tests.
    std::string NextMessage(std::string_view& content) const;
    // Whether the content begins a new message (its first lines carry the three signature
    // names). A content that is exactly the first name is emptied and counts as one.
    bool StartsMessage(std::string_view& content) const;

  private:
    void ConvertMessage(const std::string& path);
    void ConvertText(const std::string& path);
    void ConvertStore(const std::string& path);
    void ConvertPage(const std::string& path);
    // Mailboxes (TNParserMailbox.cpp): every message through PostMessage, as a ".eml".
    void ConvertMbox(const std::string& path);
    void ConvertMaildir(const std::string& path);
    // The message converter's step for one message's bytes (up to the first NUL byte): a
    // record, or several for a long body. ENParseError when the message has no sender.
    void PostMessage(std::string_view bytes);
    void ReadSignature(std::string_view content);
    // The header values and the body text of the message just parsed, as one record.
    void PostParsedMessage(const MailParser::MParser& parser);

    // TScriptHost
    TRecordFields& Fields() override { return Record; }
    bool StopRequested() const override { return StopFlag.load(); }
    std::string Today() const override;

    std::unique_ptr<TScript> script_;
    std::string today_;
    bool maildirSubfolders_ = false;
};
