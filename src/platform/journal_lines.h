#pragma once
// The lines of a run journal. Before each change to a file the run writes what it
// is about to do ("3 renamed FROM TO IDENTITY"), and once the change is done
// "ok 3" with what it learnt (where the Trash put an original); an undo marks each
// step it reverted with "undone 3". A run killed between a change and its "ok"
// line leaves the intent, from which undo tells by the files' identities whether
// the change happened. Paths are escaped so that a line holds no space or line
// break: a path may hold any byte but NUL.

#include "platform/file_identity.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zembra {

inline constexpr std::string_view kJournalHeader = "zembra run journal 1";

enum class StepKind {
    Created,  // an output of the run took `path`; `file` is its identity
    Renamed,  // the file `file` moved from `path` to `target`
    Copied,   // `path` was copied to `target`: `file` is the source, `made` the copy
    Replaced, // an output (`file`) took the place of the original `original` at `path`
    Trashed,  // the original `original` at `path` was taken away
};

struct JournalStep {
    StepKind kind = StepKind::Created;
    std::string path;
    std::string target;
    FileIdentity file;
    FileIdentity original;
    // From the "ok" line: the step is known to have been done.
    bool done = false;
    std::optional<FileIdentity> made;
    std::string trashFile; // where the Trash keeps the original, when known
    std::string trashInfo;
    bool deleted = false; // no Trash could take the original: gone for good
    bool undone = false;
};

// A path as it stands in a line, and back; nullopt for a field that is no
// escaped path (a bad escape, an escaped NUL, nothing at all).
std::string EscapePath(std::string_view path);
std::optional<std::string> UnescapePath(std::string_view field);

// The line (without its line break) that announces step `number`.
std::string IntentLine(int number, const JournalStep& step);
// The line that says step `number` was done; `step` holds what it learnt.
std::string DoneLine(int number, const JournalStep& step);
std::string UndoneLine(int number);

// The steps of a journal's text, in the order they were taken; nullopt when the
// text is not a journal or a line is not understood. A last line without its
// line break was cut off by a killed run and is left out.
std::optional<std::vector<JournalStep>> ParseJournal(std::string_view text);

} // namespace zembra
