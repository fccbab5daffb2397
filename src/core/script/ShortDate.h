#pragma once

#include <string>
#include <string_view>

// The short date format "mm/dd/yyyy" in which the "#D" directive writes today's date.
namespace script {

// Today's local date, e.g. "06/12/2001".
std::string TodayShortDate();

// Whether the text is a real date written as mm/dd/yyyy (two, two and four digits).
bool IsShortDate(std::string_view text);

}  // namespace script
