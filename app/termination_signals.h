// SIGTERM, SIGINT and SIGHUP, taken in one place by every program (korvexa,
// korvexa-convert, lx2dxf): blocked in every thread, and waited for by one
// thread of their own (sigwait), which ends the programs this one started
// (process/running_program.h: lx2dxf is then done writing), removes the
// temporary files of the outputs (writers/temporary_files.h) and ends the
// program by the signal it got. No handler runs in some thread at some
// moment, so neither step can race with a file or a program being made.
#pragma once

namespace korvexa {

// Call first in main, before Qt or any library starts a thread: a thread
// started earlier keeps the signals unblocked, and the default action there
// would skip both steps. Blocks the three signals in the calling thread, so
// in every thread it starts later (the programs it starts get them unblocked
// again), and starts the thread that takes them. A signal the program
// ignores at the start, as under nohup, stays ignored. Once per program.
void TakeTerminationSignals();

}  // namespace korvexa
