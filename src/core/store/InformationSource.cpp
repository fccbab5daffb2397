#include "store/InformationSource.h"

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

}  // namespace

TInformationSource InformationSourceOf(std::string_view from) {
    TInformationSource source;
    if (from.find('@') != std::string_view::npos) {
        std::string_view address = Trimmed(from);
        if (const std::size_t open = from.find('<'); open != std::string_view::npos) {
            // Up to the first ">" after the "<"; without one, to the end.
            const std::size_t close = from.find('>', open + 1);
            address = from.substr(open + 1, close == std::string_view::npos ? std::string_view::npos
                                                                            : close - open - 1);
        } else if (const std::size_t paren = from.find('('); paren != std::string_view::npos) {
            address = Trimmed(from.substr(0, paren));
        }
        // With neither "<" nor "(" the whole From is the address: an empty "mailto:" would
        // open a blank message to nobody.
        source.kind = TInformationSource::Mail;
        source.target = "mailto:" + std::string(address);
        return source;
    }
    if (const std::size_t http = from.find("http://"); http != std::string_view::npos) {
        source.kind = TInformationSource::Web;
        source.target = std::string(Trimmed(from.substr(http)));
    }
    return source;
}
