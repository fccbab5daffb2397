#pragma once

#include <string>
#include <vector>

// The mail stores of Linux mail programs that an import reads: mbox files (TMboxReader) and
// Maildir folders (doc/mailboxes.md). Both are the user's own mailboxes: an import reads
// them and never renames or changes them.

enum class MailboxKind { None, Mbox, Maildir };

// Mbox: a file with the extension ".mbox" (any case), or a file without an extension that
// begins with a "From " line. Maildir: a folder holding "cur" and "new" folders. None for
// anything else, and for a path that cannot be read. `folder`, when given, tells whether
// the path is a folder (one look at the file serves both questions).
MailboxKind MailboxKindOf(const std::string& path, bool* folder = nullptr);

bool IsMaildir(const std::string& folder);

// Whether the path names a folder (following links).
bool IsFolder(const std::string& path);

// The message files of a Maildir, as paths relative to it ("cur/<name>", "new/<name>"): the
// plain files of cur/ and new/ that are not hidden, in delivery order (the number that
// begins the name, RFC-less but universal since qmail; names without one come last, ties
// by name); tmp/ holds deliveries in progress and is left out. With `subfolders`, then the
// messages of every Maildir++ subfolder (".Name" holding cur/ and new/), in name order,
// as ".Name/cur/<name>". A folder that cannot be read gives nothing.
std::vector<std::string> MaildirMessages(const std::string& folder, bool subfolders);

// How many messages the import of the mailbox will read (the messages of an mbox, the
// message files of a Maildir without subfolders); 0 for anything else and for an mbox that
// cannot be read through (its conversion will say why).
int CountMailboxMessages(const std::string& path);
