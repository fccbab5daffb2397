#pragma once

// The choices of the search options dialog; they persist for the run.
enum class TSearchMethod {
    Initial,    // "Initial Search": the current main table
    Narrowing,  // "Narrowing Search": the last result ("tmpout")
    Recycle,    // "Recycle Search": the memorised rows ("tmpmem")
};

enum class TSearchField { SubjectOrNotes, Article, From, Newsgroups, Date, Rank, MessageID };

struct TSearchOptions {
    TSearchMethod method = TSearchMethod::Initial;
    TSearchField field = TSearchField::Article;
    bool orderByDate = false;
};
