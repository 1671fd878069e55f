#pragma once
// Ctrl-C and SIGTERM during a zembra-batch run. The first Ctrl-C lets the
// pictures in hand finish and starts no other; a second one, or SIGTERM, stops
// at once: the row loop of a resize gives up within a row and the picture's
// temporary files are removed as after any failed save. A third signal ends the
// process the ordinary way; the next run over the folder removes what it left.

namespace zembra {

// `terminal`: stderr is a terminal, whose progress bar a message clears first.
void InstallStopSignals(bool terminal);

// The first signal that asked the run to stop, or 0.
int StopSignal();

// The exit status of a run stopped by that signal: 128 plus its number.
int StopExitStatus();

} // namespace zembra
