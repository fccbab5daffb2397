#include "store/TArticle.h"

#include "text/Cp932.h"

TArticle TArticle::Cut() const {
    TArticle a = *this;
    a.From = cp932::truncate(From, kFromSize);
    a.Newsgroup = cp932::truncate(Newsgroup, kNewsgroupSize);
    a.Subject = cp932::truncate(Subject, kSubjectSize);
    a.Notes = cp932::truncate(Notes, kNotesSize);
    return a;
}
