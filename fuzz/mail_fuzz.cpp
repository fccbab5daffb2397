// The message parser on arbitrary bytes: nothing may crash, hang or leak, and a bad
// quoted-printable escape is the only failure it may report. Run it with the tokens of
// fuzz/mail.dict: build-fuzz/bin/mail_fuzz -dict=fuzz/mail.dict CORPUS_DIR
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/EError.h"
#include "mail/MParser.h"
#include "mail/TMailBodyPart.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MailParser::MParser parser;
    for (int run = 0; run < 4; ++run) {
        const bool rawBody = run & 1;
        MailParser::TParseOptions options;
        options.DecodeCharsets = run >= 2;
        try {
            parser.Parse(text, rawBody, options);
        } catch (const EError& e) {
            if (std::strcmp(e.what(), "Quoted Printable Decode Error") != 0)
                __builtin_trap();
        }
        const std::string body = parser.BodyText();
        std::size_t joined = 0, leaves = 0;
        for (MailParser::TMailBodyPart* leaf = parser.FirstLeaf(); leaf; leaf = parser.NextLeaf()) {
            joined += leaf->Text().size();
            ++leaves;
        }
        // BodyText is the leaves' texts and at most one separator between two of them.
        if (body.size() < joined || body.size() > joined + 4 * leaves)
            __builtin_trap();
    }
    return 0;
}
