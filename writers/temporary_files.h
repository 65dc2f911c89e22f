// The temporary files of the outputs being written, removed when the program
// is ended by SIGTERM, SIGINT or SIGHUP: a conversion stopped half way leaves
// nothing behind, as one that fails does.
//
// The signals are taken in one place. TakeTerminationSignals blocks them
// for every thread and starts the one thread that waits for them (sigwait);
// it removes the files under the same lock as CreateTemporaryFile makes and
// remembers one, so a file is never made and then missed, whichever thread
// makes it, and the program ends by the signal it got.
#pragma once

#include <string>

namespace korvexa {

// Call first in main, before Qt or any library starts a thread: a thread
// started earlier keeps the signals unblocked, and one of them ending there
// would skip the removal. Blocks SIGTERM, SIGINT and SIGHUP in the calling
// thread, so in every thread it starts later (the programs it starts get
// them unblocked again: process/running_program.h), and starts the thread
// that takes them. A signal the program ignores at the start, as under
// nohup, stays ignored. Once per program.
void TakeTerminationSignals();

// Creates a new file from `pattern` (mkstemp's: absolute, so that a change
// of the working folder does not matter, ending in "XXXXXX", which it
// replaces) and remembers it until it is forgotten, as one step against the
// removal. Returns the file's descriptor, or -1 with errno set; `slot`, for
// ForgetTemporaryFile, is -1 then. Safe from any thread.
int CreateTemporaryFile(std::string& pattern, int& slot);

// Forgets the file of `slot` (nothing for -1), once it has its name or is gone.
void ForgetTemporaryFile(int slot);

}  // namespace korvexa
