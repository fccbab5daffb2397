#pragma once

#include <map>
#include <string>

#include "CliEncoding.h"
#include "Json.h"
#include "store/TArticle.h"

// Article records as brevilo-cli's JSON Lines: keys MessageID, Rank, Date, From,
// Newsgroup, Subject, Notes, Article. Rank is a number or null; Date is
// "YYYY-MM-DD HH:MM:SS" or null; texts are strings ("" when empty).

// One output line (with its LF).
std::string ArticleToJsonLine(const TArticle& article, const CliEncoding& encoding);

// The record an input object describes; a missing key means empty. Accepted keys: From,
// Newsgroup, Subject, Notes, Article (strings or null), Date (a date text ReadDateText
// reads, "" or null), Rank (an integer or null); MessageID and "file" (as `search` and
// `convert` write them) are ignored. Throws EError naming the fault otherwise.
TArticle ArticleFromJson(const std::map<std::string, JsonValue>& object, int currentYear);
