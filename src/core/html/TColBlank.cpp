#include "html/TColBlank.h"

namespace HTMLParser {

namespace {
int gLettersWidth = 1;
int gSpacesWidth = 1;
}  // namespace

void TColBlank::SetMetrics(int lettersWidth, int spacesWidth) {
    gLettersWidth = lettersWidth > 0 ? lettersWidth : 1;
    gSpacesWidth = spacesWidth > 0 ? spacesWidth : 1;
}

int TColBlank::LettersWidth() {
    return gLettersWidth;
}

int TColBlank::SpacesWidth() {
    return gSpacesWidth;
}

}  // namespace HTMLParser
