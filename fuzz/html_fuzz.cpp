// The HTML engine on arbitrary bytes: neither call may crash, hang or fail. The first
// byte picks the switches and the blank maker's metrics so that every path is reached.
#include <cstddef>
#include <cstdint>

#include "html/HParser.h"
#include "html/TColBlank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const char* begin = reinterpret_cast<const char*>(data + 1);
    const char* end = reinterpret_cast<const char*>(data + size);
    HTMLParser::TColBlank::SetMetrics(1 + (mode >> 4), 1 + ((mode >> 2) & 3));
    HTMLParser::HParser parser;
    parser.LayoutText(begin, end, (mode & 1) != 0, (mode & 2) != 0);
    parser.PlainText(begin, end);
    return 0;
}
