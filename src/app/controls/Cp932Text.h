#pragma once

#include <QString>
#include <string>
#include <string_view>

// The one bridge between the engines' cp932 byte strings and the text of the windows.
// Every field shown goes through FromCp932; every edit the user makes goes back through
// ToCp932.

// cp932 -> QString. Bytes that form no cp932 character become U+FFFD.
QString FromCp932(std::string_view bytes);

// QString -> cp932. Characters cp932 lacks become "?".
std::string ToCp932(const QString& text);
