#pragma once

#include <sqlite3.h>

// Registers the SQL functions the store's queries use on a connection:
//   brevilo_match(text, keyword)     1 when the keyword occurs in the text, ignoring ASCII
//                                    letter case, at cp932 character boundaries
//                                    (TKeywordPattern); 0 otherwise and for a NULL text.
//   brevilo_match_cs(text, keyword)  the same with exact letter case.
//   brevilo_cut(text, maxBytes)      the text cut to at most maxBytes bytes at a cp932
//                                    character boundary (NULL stays NULL).
// The keyword is prepared once per statement and reused for every row.
void RegisterStoreSqlFunctions(sqlite3* db);
