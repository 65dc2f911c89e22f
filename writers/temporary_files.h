// The temporary files of the outputs being written, removed when the program
// is ended by SIGTERM, SIGINT or SIGHUP: a conversion stopped half way leaves
// nothing behind, as one that fails does.
#pragma once

#include <string>

namespace korvexa {

// Creates a new file from `pattern` (mkstemp's: absolute, so that a change
// of the working folder does not matter, ending in "XXXXXX", which it
// replaces) and remembers it until it is forgotten, with no moment between
// the two at which one of the signals could leave it behind; makes sure the
// three signals remove every remembered file before they end the program (a
// signal the program ignores, as under nohup, stays ignored). Returns the
// file's descriptor, or -1 with errno set; `slot` is -1 when every slot is
// taken: that file then stays behind on such a signal. Not for several
// threads at once.
int CreateTemporaryFile(std::string& pattern, int& slot);

// Forgets the file of `slot` (nothing for -1), once it has its name or is gone.
void ForgetTemporaryFile(int slot);

}  // namespace korvexa
