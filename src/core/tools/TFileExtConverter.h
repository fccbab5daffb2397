#pragma once

#include <string>
#include <string_view>
#include <vector>

// Renames, in one step, the files of one folder that match a mask so that they carry
// another extension, and undoes the last such step. The rules of the "Convert file
// extension" window; the window shows the message each step returns.
//
// Names and paths are file-system byte strings (the import folder's). Not thread-safe; one
// instance lives as long as its window.
class TFileExtConverter {
  public:
    // One renamed file: where it is now and where it came from.
    struct TStrPair {
        std::string newPath;
        std::string oldPath;
    };
    using TUndoVec = std::vector<TStrPair>;

    explicit TFileExtConverter(std::string folder);

    const std::string& Folder() const { return folder_; }

    // One convert step with the texts of the mask box, the new-extension box and "Simply
    // Add". Returns the message to show:
    //   "There is no mask"                       the mask is empty
    //   "No files in this folder"                nothing matches; also a mask that names
    //                                            another folder ("/" or "..")
    //   <ext> "Invalid charcters in the file extension"
    //   "Same file extensions"                   the mask's extension is the new one
    //   "Converted successfully"                 done; a file whose new name is taken, or
    //                                            that cannot be renamed, is left as it is
    // Stores (".dbx"), links (".lnk") and programs (".exe") are never renamed.
    std::string Convert(std::string_view mask, std::string_view newExtension, bool simplyAdd);

    // Renames the files of the last step back, in order; failures are ignored. Undo is
    // then unavailable until the next step that renamed files.
    void Undo();
    bool CanUndo() const { return canUndo_; }
    const TUndoVec& UndoList() const { return undo_; }

    // The new extension as a step uses it: without bytes up to 0x20 at both ends, ASCII
    // letters lowered, "." put in front unless empty or already there. False when it
    // holds \ / : * ? " < > | or ".."; `normalised` is then the trimmed, lowered text.
    static bool NormaliseExtension(std::string_view text, std::string& normalised);

    // Whether a file name matches a mask of "*" (any run) and "?" (one character),
    // without regard to ASCII letter case. As on the system the masks come from, "*.*"
    // also matches names without a dot, and a mask ending in a three-letter extension
    // also matches longer extensions that begin with it ("*.htm" finds "a.html").
    static bool MatchesMask(std::string_view name, std::string_view mask);

  private:
    std::vector<std::string> ListMatching(std::string_view mask) const;

    std::string folder_;
    TUndoVec undo_;
    bool canUndo_ = false;
};
