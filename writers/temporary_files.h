// The temporary files of the outputs being written, removed when the program
// is ended by SIGTERM, SIGINT or SIGHUP: a conversion stopped half way leaves
// nothing behind, as one that fails does.
#pragma once

namespace korvexa {

// Remembers the temporary file `path` (absolute, so that a change of the
// working folder does not matter) until it is forgotten, and makes sure the
// three signals remove every remembered file before they end the program (a
// signal the program ignores, as under nohup, stays ignored). Returns the
// file's slot, or -1 when every slot is taken: that file then stays behind
// on such a signal. Not for several threads at once.
int RememberTemporaryFile(const char* path);

// Forgets the file of `slot` (nothing for -1), once it has its name or is gone.
void ForgetTemporaryFile(int slot);

}  // namespace korvexa
