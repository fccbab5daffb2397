#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "mail/TParseOptions.h"

namespace MailParser {

class MParser;
class TPartWalk;

// One node of a message's MIME tree (RFC 2045, RFC 2046) and the plain text it stands for.
//
// A part is filled once by Process from its MIME headers and body: a multipart part gets
// children, every other part gets its Text — plain text decoded (utf-8 converted to cp932,
// every other charset kept byte for byte), HTML laid out by the process-wide HTML engine,
// an attached message summarised with its own headers, and any other content reduced to a
// one-line marker such as "[application/pdf] >> a.pdf".
//
// Ownership: a part owns its children, the chain that starts at FirstChild and runs
// through NextSibling. The tree may be arbitrarily deep or wide; neither processing nor
// destruction recurses, so nesting depth is bounded by memory, not by the stack.
//
// Not thread-safe: a part and its tree belong to the one parser that made them, and the
// HTML engine instance it uses is shared process-wide.
class TMailBodyPart {
  public:
    // A part with the defaults of a part without Content-Type: text/plain, 7bit, us-ascii
    // (RFC 2045, 5.2). `parent` is null for a message's root part.
    explicit TMailBodyPart(TMailBodyPart* parent);
    ~TMailBodyPart();
    TMailBodyPart(const TMailBodyPart&) = delete;
    TMailBodyPart& operator=(const TMailBodyPart&) = delete;

    // Reads the part's MIME headers from `headerBlock` (unfolded, as SplitHeaderBlock gives
    // it) and fills Text or creates the children, processing them in turn. `body` need only
    // live during the call. Throws EError("Quoted Printable Decode Error") for a bad escape
    // in a quoted-printable text part (or a header of an attached message); the parts done
    // before it stay as they are. `options` (TParseOptions.h) say which charsets become
    // cp932; they hold for the whole tree, attached messages included.
    void Process(std::string_view headerBlock, std::string_view body,
                 const TParseOptions& options = {});

    // Cut `body` at `boundary` ("--" and the boundary parameter) and append one processed
    // child per part found. SplitMultipart keeps every part; SelectAlternative keeps the
    // first one whose headers mention text/html, or else the first one.
    void SplitMultipart(std::string_view body, std::string_view boundary);
    void SelectAlternative(std::string_view body, std::string_view boundary);

    // The stretch of an HTML text that is laid out: from the first "<body" (the tag
    // included; the start when there is none) up to the first "</body>" at or after six
    // bytes past that start (the end when there is none). Letters match in either case.
    // The result views `text`.
    static std::string_view FindHtmlBody(std::string_view text);

    // The part's final text. For an attached message (message/rfc822) it is the summary
    // "_____", CR LF CR LF, "Subject: ", "From: ", "Newsgroups: " (when it has one) and
    // "Date: " lines, an empty line, the message's body text, CR LF, "_____"; it is written
    // on first request.
    const std::string& Text() const;
    const std::string& Type() const { return type_; }
    const std::string& Subtype() const { return subtype_; }
    const std::string& Disposition() const { return disposition_; }
    const std::string& Encoding() const { return encoding_; }
    const std::string& Charset() const { return charset_; }
    const std::string& Boundary() const { return boundary_; }
    const std::string& Filename() const { return filename_; }

    TMailBodyPart* Parent() const { return parent_; }
    TMailBodyPart* FirstChild() const { return firstChild_.get(); }
    TMailBodyPart* NextSibling() const { return nextSibling_.get(); }

  private:
    friend class MParser;
    friend class TPartWalk;

    void readHeaders(std::string_view headerBlock);
    void readContentType(std::string_view value);
    void readContentDisposition(std::string_view value);
    // Fills Text or queues the children on the walk.
    void produce(std::string_view body, TPartWalk& walk);
    void produceText(std::string_view body, const TParseOptions& options);
    void splitMultipart(std::string_view body, std::string_view boundary, TPartWalk& walk);
    void selectAlternative(std::string_view body, std::string_view boundary, TPartWalk& walk);
    TMailBodyPart* appendChild();

    // Appends the part's text to `out`; an attached message's summary is written straight
    // from its parser's tree.
    static void appendText(const TMailBodyPart& part, std::string& out);
    static const TMailBodyPart* firstLeafOf(const TMailBodyPart* part);
    static const TMailBodyPart* nextLeafOf(const TMailBodyPart* leaf);

    mutable std::string text_;
    mutable bool summaryWritten_ = false;
    // message/rfc822: the private parser that read the attached message, with its tree.
    std::unique_ptr<MParser> attached_;
    std::string type_ = "text";
    std::string subtype_ = "plain";
    std::string disposition_;
    std::string encoding_ = "7bit";
    std::string charset_ = "us-ascii";
    bool charsetGiven_ = false;  // whether Content-Type carried a charset parameter
    std::string boundary_;
    std::string filename_;

    TMailBodyPart* parent_;
    std::unique_ptr<TMailBodyPart> firstChild_;
    std::unique_ptr<TMailBodyPart> nextSibling_;  // owned link by link along the chain
    TMailBodyPart* lastChild_ = nullptr;          // where appendChild links the next one
};

}  // namespace MailParser
