#include "text/LineEnds.h"

std::string WithCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (pos < n) {
        // Copy up to the next CR or LF in one go; most bytes are neither.
        std::size_t next = pos;
        while (next < n && text[next] != '\r' && text[next] != '\n')
            ++next;
        out.append(text.data() + pos, next - pos);
        if (next == n)
            break;
        out += "\r\n";
        pos = next + ((text[next] == '\r' && next + 1 < n && text[next + 1] == '\n') ? 2 : 1);
    }
    return out;
}
