// How a command line names its program and arguments, the way Windows reads
// a command line given without a separate program name.
//
// Arguments are separated by blanks (spaces and tabs); double quotes group
// blanks into one argument, as on Windows: inside quotes "" is one quote;
// backslashes are ordinary except before a quote, where 2n backslashes give n
// and the quote groups, and 2n+1 give n and a literal quote. QuoteArgument
// writes any text as one such argument, so a file name always arrives whole.
//
// The first argument is the program. A quoted program is taken as it stands;
// an unquoted one whose path holds blanks is found by trying the
// blank-separated prefixes of the line in turn, shortest first, until one
// names an executable file; the rest of the line are its arguments.
//
//   "\"/opt/my tools/todos\" \"my town.lx\"" -> /opt/my tools/todos, "my town.lx"
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

// Where a program is looked for.
struct ProgramSearch {
  std::filesystem::path ownFolder;      // the running program's folder, searched first
  std::filesystem::path currentFolder;  // the base of relative program paths, never searched
  std::string path;                     // a PATH list: folders separated by ':'; only
                                        // absolute ones are searched
};

struct ResolvedCommand {
  std::filesystem::path program;  // the executable file
  std::vector<std::string> argv;  // [0]: the program as the line wrote it; then the arguments
};

// `text` as one argument of a command line: in double quotes, with quotes and
// the backslashes before them escaped. SplitCommandLine gives it back.
std::string QuoteArgument(std::string_view text);

// The arguments of `text`, by the rules above; none for a text of blanks.
std::vector<std::string> SplitCommandLine(std::string_view text);

// True for a regular file (or a link to one) that this user may execute.
bool IsExecutableFile(const std::filesystem::path& file);

// The executable file `word` names. A word holding a '/' is a path, relative
// ones taken from the current folder; a bare name is looked up in the own
// folder, then in the absolute PATH folders, never in the current folder (a
// file lying beside the user's data is not run). No extension is added.
// Empty when nothing is found.
std::optional<std::filesystem::path> FindProgram(std::string_view word, const ProgramSearch& search);

// The program and arguments of `commandLine` (leading blanks skipped). Empty
// when the line names no executable file.
std::optional<ResolvedCommand> ResolveCommandLine(std::string_view commandLine, const ProgramSearch& search);

// The search of this process: ProgramFolder(), the current folder and $PATH.
ProgramSearch CurrentProgramSearch();

}  // namespace korvexa
