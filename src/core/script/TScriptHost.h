#pragma once

#include <string>
#include <string_view>

#include "base/TRecordFields.h"

// What an import run needs of the conversion engine that runs it (TNParser for ".htm" and
// ".html" files). All calls come from the converting thread, inside TImportRun::Run.
class TScriptHost {
  public:
    virtual ~TScriptHost() = default;

    // The engine's record fields. The script's S, F, G and N are Subject, From, Newsgroup
    // and Notes themselves; D and A are held by the run and reach Date and Article only
    // when a record is posted. The run empties all six at the start of every page.
    virtual TRecordFields& Fields() = 0;

    // Hands the current fields over as one record with `article` as its text, or as
    // several when it is long (import/ArticleParts.h: PostArticle): after a split
    // `article` is empty and Subject carries the suffix of the last part.
    virtual void PostArticle(std::string& article) = 0;

    // The engine's StopFlag: tested before every script line; when set, the page ends as
    // done (no error).
    virtual bool StopRequested() const = 0;

    // Today's date in the short date format "mm/dd/yyyy" (script/ShortDate.h).
    virtual std::string Today() const = 0;

    // Source [begin, end) of the page as one line of plain text / laid out as text (the
    // HTML engine's PlainText and LayoutText).
    virtual std::string PlainText(std::string_view source) = 0;
    virtual std::string LayoutText(std::string_view source, bool pickUpLinks,
                                   bool preformatted) = 0;
};
