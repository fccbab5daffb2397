#pragma once

#include <string>

// The labels the text export writes in front of each field. The data module keeps the
// labels of the last export for the rest of the session (they are not saved).
struct TExportLabels {
    std::string Subject = "Subject: ";
    std::string Date = "Date: ";
    std::string From = "From: ";
    std::string Newsgroup = "Newsgroups: ";
};
