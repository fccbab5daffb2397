// Decoders of untrusted message text: none may crash, and quoted-printable fails only
// with its own error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/EError.h"
#include "text/Cp932.h"
#include "text/TMSManager.h"
#include "text/TextUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string in(reinterpret_cast<const char*>(data), size);
    UTF8_SJIS(in);
    Base64Decode(in);
    try {
        QuotedPrintableDecode(in);
    } catch (const EError&) {
    }
    ConvertMailDate(in);
    std::size_t cut = in.find('\n');
    if (cut != std::string::npos) {
        std::string text = in.substr(0, cut), pattern = in.substr(cut + 1);
        ConvertPatternDate(text, pattern);
        TMSManager buf;
        buf.Assign(text);
        while (buf.SkipPast(pattern)) {
        }
    }
    cp932::fromUtf8(cp932::toUtf8(in));
    return 0;
}
