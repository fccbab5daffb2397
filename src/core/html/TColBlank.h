#pragma once

#include <string>

namespace HTMLParser {

// The blank maker: padding that is as wide, in the article view's proportional font, as
// a number of average letters, so that table columns line up at the view's tab stops.
//
// The host measures two pixel widths in that font and sets them: lettersWidth, the
// width of the 52 bytes "A".."Z" "a".."z", and spacesWidth, the width of 52 spaces.
// Unset or non-positive widths count as 1, so Blank never divides by zero. The metrics
// are process-wide (atomic: the GUI thread may set them while a worker lays out); the
// cache of blank strings is kept per thread, so concurrent layouts share nothing.
class TColBlank {
  public:
    static void SetMetrics(int lettersWidth, int spacesWidth);
    static int LettersWidth();
    static int SpacesWidth();

    // The empty text for n <= 0; otherwise k spaces, k = ceil(n * lettersWidth /
    // spacesWidth): the count of spaces as wide as n average letters. The reference
    // stays valid for the life of the calling thread.
    static const std::string& Blank(long n);
};

}  // namespace HTMLParser
