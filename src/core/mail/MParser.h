#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "mail/TMailBodyPart.h"
#include "mail/TParseOptions.h"

namespace MailParser {

class TPartWalk;

// Reads one Internet message (RFC 822 headers, an empty line, a MIME body) into the four
// header values an article record needs and a tree of body parts whose joined text becomes
// the article.
//
// Results are cp932 byte strings; a value the message does not supply is empty. Every
// Parse replaces the previous results, so a caller copies them out before the next one.
// The converters share one instance, TSingleton<MailParser::MParser>::ObjOwner(); an
// attached message (message/rfc822) is read by a private instance. Not thread-safe.
class MParser {
  public:
    MParser();
    ~MParser();
    MParser(const MParser&) = delete;
    MParser& operator=(const MParser&) = delete;

    // Reads `text`, the whole message with CR LF line ends; it need only live during the
    // call. With rawBody the body is taken as it stands (CR and LF trimmed at both ends);
    // otherwise it goes through MIME processing. Throws EError("Quoted Printable Decode
    // Error") for a bad quoted-printable escape in Subject, From or a body part; what was
    // read before it stays until the next Parse. Nothing else fails; a run told to stop
    // (Abort.h) unwinds with EAborted. An LF-only text has no empty line and so is all
    // header, with an empty body. `options` hold for this parse only (and the messages
    // attached to it).
    void Parse(std::string_view text, bool rawBody, const TParseOptions& options = {});

    const std::string& From() const { return from_; }
    // The first newsgroup; for mail, the mailing list (Mailing-List, List-Post or a
    // Reply-To address that is not the sender's own).
    const std::string& Newsgroup() const { return newsgroup_; }
    // The Date header as date text, e.g. "2001/6/12 10:20:30"; empty when unreadable.
    const std::string& Date() const { return date_; }
    const std::string& Subject() const { return subject_; }

    // The texts of all leaf parts in document order, each after CR LF CR LF unless nothing
    // has been written yet (so empty leaves at the start add nothing, later ones add a
    // separator). Does not move the cursor.
    std::string BodyText() const;

    // Walk the leaf parts in document order; each returns the next leaf, or null at the
    // end (and before the first Parse), and moves the cursor there.
    TMailBodyPart* FirstLeaf();
    TMailBodyPart* NextLeaf();

    // The root of the last parsed message's part tree; null before the first Parse.
    const TMailBodyPart* Root() const { return root_.get(); }

  private:
    friend class TMailBodyPart;
    friend class TPartWalk;

    // Parse without the body: resets, cuts the header block, reads the header fields and
    // creates the root part. Returns what the root part is to process.
    struct TPendingRoot {
        std::string headerBlock;
        std::string_view body;
    };
    TPendingRoot begin(std::string_view text);
    void parseHeaderFields(std::string_view headerBlock);

    std::unique_ptr<TMailBodyPart> root_;
    TMailBodyPart* cursor_ = nullptr;
    TParseOptions options_;
    std::string from_;
    std::string newsgroup_;
    std::string date_;
    std::string subject_;
};

}  // namespace MailParser
