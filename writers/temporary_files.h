// The temporary files of the outputs being written, removed when the program
// is ended by SIGTERM, SIGINT or SIGHUP (app/termination_signals.h takes
// them): a conversion stopped half way leaves nothing behind, as one that
// fails does. Making a file and remembering it are one step under a lock
// that the removal takes too, so a file is never made and then missed,
// whichever thread makes it.
#pragma once

#include <mutex>
#include <string>

namespace korvexa {

// Creates a new file from `pattern` (mkstemp's: absolute, so that a change
// of the working folder does not matter, ending in "XXXXXX", which it
// replaces) and remembers it until it is forgotten, as one step against the
// removal. Returns the file's descriptor, or -1 with errno set; `slot`, for
// ForgetTemporaryFile, is -1 then. Safe from any thread.
int CreateTemporaryFile(std::string& pattern, int& slot);

// Forgets the file of `slot` (nothing for -1), once it has its name or is gone.
void ForgetTemporaryFile(int slot);

// Holds off RemoveTemporaryFiles, and the temporary files of other threads,
// while the returned lock lives: steps taken under it are all done, or none
// begun, when a signal ends the program. The holder's own calls go on.
[[nodiscard]] std::unique_lock<std::recursive_mutex> HoldRemoval();

// For the end of the program: removes every remembered file and keeps the
// lock, so that no file is made from then on (CreateTemporaryFile and
// ForgetTemporaryFile wait for ever).
void RemoveTemporaryFiles();

}  // namespace korvexa
