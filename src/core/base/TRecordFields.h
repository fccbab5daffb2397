#pragma once

#include <string>

// The fields a converter fills for one record and the store's AppendLogRecord reads: cp932
// byte strings. An empty Date or Notes leaves that field of the stored record empty;
// MessageID and Rank are not the converters' business.
struct TRecordFields {
    std::string From;
    std::string Newsgroup;
    std::string Subject;
    std::string Date;  // a date text such as "2001/6/12 10:20:30", or empty
    std::string Article;
    std::string Notes;

    void Clear() { *this = TRecordFields(); }
};
