// "Undo Last Run": takes the newest run back by its journal and says how it went.
#include "main/form1.h"

#include "platform/run_journal.h"
#include "platform/undo.h"

namespace zembra {

namespace {

// A message box stays readable with a long list of files.
constexpr std::size_t kMostListed = 12;

std::string UndoMessage(const UndoOutcome& outcome, const std::string& journal) {
    if (!outcome.readable)
        return "The journal of the last run cannot be read:\r\n" + journal;
    const std::size_t undone = outcome.reverted.size();
    const std::size_t left = outcome.leftAlone.size();
    if (undone == 0 && left == 0)
        return "There is nothing to undo.";
    std::string text =
        std::to_string(undone) + (undone == 1 ? " step" : " steps") + " of the last run undone.";
    if (left > 0) {
        text += "\r\n\r\nLeft alone:";
        for (std::size_t k = 0; k < left && k < kMostListed; ++k)
            text += "\r\n" + outcome.leftAlone[k];
        if (left > kMostListed)
            text += "\r\n... and " + std::to_string(left - kMostListed) + " more";
    }
    return text;
}

} // namespace

void Form1::refreshUndo() {
    Command16.setEnabled(!runShown_ && !RunJournals.empty() &&
                         HasStepsToUndo(NewestJournal(RunJournals)));
}

void Form1::Command16_Click() {
    const std::string journal = RunJournals.empty() ? std::string() : NewestJournal(RunJournals);
    // The files themselves, not this form's: taking a run back is no run of its
    // own to be journalled.
    const UndoOutcome outcome = journal.empty() ? UndoOutcome{} : UndoRun(journal, Files::Local());
    services_.MsgBox(UndoMessage(outcome, journal));
    refreshUndo();
}

} // namespace zembra
