#include "html/TColBlank.h"

#include <atomic>
#include <memory>
#include <vector>

namespace HTMLParser {

namespace {

std::atomic<int> gLettersWidth{1};
std::atomic<int> gSpacesWidth{1};

const std::string kNoBlank;

}  // namespace

void TColBlank::SetMetrics(int lettersWidth, int spacesWidth) {
    gLettersWidth.store(lettersWidth > 0 ? lettersWidth : 1, std::memory_order_relaxed);
    gSpacesWidth.store(spacesWidth > 0 ? spacesWidth : 1, std::memory_order_relaxed);
}

int TColBlank::LettersWidth() {
    return gLettersWidth.load(std::memory_order_relaxed);
}

int TColBlank::SpacesWidth() {
    return gSpacesWidth.load(std::memory_order_relaxed);
}

const std::string& TColBlank::Blank(long n) {
    if (n <= 0)
        return kNoBlank;
    // Table layout asks for the same few widths for every cell line: the strings are
    // kept, by count of spaces, and never removed.
    thread_local std::vector<std::unique_ptr<std::string>> cache;
    const long long letters = LettersWidth(), spaces = SpacesWidth();
    const auto count = static_cast<std::size_t>((n * letters + spaces - 1) / spaces);
    if (count >= cache.size())
        cache.resize(count + 1);
    std::unique_ptr<std::string>& blank = cache[count];
    if (!blank)
        blank = std::make_unique<std::string>(count, ' ');
    return *blank;
}

}  // namespace HTMLParser
