#pragma once

#include <string>

namespace HTMLParser {

// The blank maker: padding that is as wide as a number of average letters of the article
// view's font. The host sets the two measured widths (pixel widths in that font):
// lettersWidth of the 52 bytes "A".."Z" "a".."z", spacesWidth of 52 spaces. Unset or
// non-positive widths count as 1, so Blank never divides by zero.
class TColBlank {
  public:
    static void SetMetrics(int lettersWidth, int spacesWidth);
    static int LettersWidth();
    static int SpacesWidth();
};

}  // namespace HTMLParser
