// How a command line names its program, the way Windows reads a command line
// given without a separate program name. Nothing is quoted or added: the line
// is split at blanks (spaces and tabs; quotes are ordinary characters), and
// the first word is the program. A program whose path holds blanks is found
// by trying the blank-separated prefixes of the line in turn, shortest first,
// until one names an executable file; the rest of the line are its arguments.
//
//   "lx2dxf my town.lx"          -> lx2dxf, arguments "my", "town.lx"
//   "/opt/my tools/todos t.lx"   -> "/opt/my" is no program, so
//                                   "/opt/my tools/todos", argument "t.lx"
//   "lx2dxf "                    -> lx2dxf, no argument
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvexa {

// Where a bare program name is looked for, in this order.
struct ProgramSearch {
  std::filesystem::path ownFolder;      // the running program's folder
  std::filesystem::path currentFolder;  // also the base of relative program paths
  std::string path;                     // a PATH list: folders separated by ':'
                                        // (an empty entry is the current folder)
};

struct ResolvedCommand {
  std::filesystem::path program;  // the executable file
  std::vector<std::string> argv;  // [0]: the program as the line wrote it; then the arguments
};

// The words of `text` between runs of blanks; none for a text of blanks.
std::vector<std::string> SplitAtBlanks(std::string_view text);

// True for a regular file (or a link to one) that this user may execute.
bool IsExecutableFile(const std::filesystem::path& file);

// The executable file `word` names. A word holding a '/' is a path, relative
// ones taken from the current folder; a bare name is looked up in the own
// folder, then the current folder, then the PATH folders. No extension is
// added. Empty when nothing is found.
std::optional<std::filesystem::path> FindProgram(std::string_view word, const ProgramSearch& search);

// The program and arguments of `commandLine` (leading blanks skipped). Empty
// when no prefix of the line names an executable file.
std::optional<ResolvedCommand> ResolveCommandLine(std::string_view commandLine, const ProgramSearch& search);

// The search of this process: ProgramFolder(), the current folder and $PATH.
ProgramSearch CurrentProgramSearch();

}  // namespace korvexa
