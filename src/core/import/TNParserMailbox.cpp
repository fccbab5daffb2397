// The conversion engine's mailbox converters: every message of an mbox file or a Maildir
// folder goes through the same step as a ".eml" file. The mailbox itself is only read.
#include "base/Abort.h"
#include "base/FileBytes.h"
#include "import/ENParseError.h"
#include "import/Mailboxes.h"
#include "import/TMboxReader.h"
#include "import/TNParser.h"

namespace {

// Raises the failure being handled again with the message it happened in named after its
// text, for the user to find it in a mailbox of thousands: "... (message 12)" in an mbox,
// "... (cur/<file name>)" in a Maildir. Failures outside the EError family pass unchanged.
[[noreturn]] void RethrowNaming(const std::string& which) {
    try {
        throw;
    } catch (const EError& e) {
        throw ENParseError(std::string(e.what()) + " (" + which + ")");
    }
}

}  // namespace

void TNParser::ConvertMbox(const std::string& path) {
    Record.Notes.clear();
    TMboxReader reader(path);
    std::string message;
    while (!StopFlag.load()) {
        bool read = false;
        try {
            if (!reader.Next(message))
                break;
            read = true;
            PostMessage(message);
        } catch (const EError&) {
            RethrowNaming("message " + std::to_string(reader.MessageNumber() + (read ? 0 : 1)));
        }
    }
}

void TNParser::ConvertMaildir(const std::string& path) {
    Record.Notes.clear();
    for (const std::string& name : MaildirMessages(path, maildirSubfolders_)) {
        if (StopFlag.load())
            break;
        ThrowIfAborted();
        try {
            PostMessage(ReadFileBytes(path + "/" + name));
        } catch (const EError&) {
            RethrowNaming(name);
        }
    }
}
