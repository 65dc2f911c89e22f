#include "process/program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "process/program_folder.h"

namespace korvexa {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Reads one argument from the front of `text` (no leading blanks) and
// removes it; `quoted` tells whether any part of it stood in quotes.
std::string TakeArgument(std::string_view& text, bool* quoted = nullptr) {
  std::string argument;
  bool inQuotes = false;
  std::size_t i = 0;
  while (i < text.size() && (inQuotes || !IsBlank(text[i]))) {
    std::size_t backslashes = 0;
    while (i < text.size() && text[i] == '\\') ++backslashes, ++i;
    if (i < text.size() && text[i] == '"') {
      argument.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        argument += '"';
      } else if (inQuotes && i + 1 < text.size() && text[i + 1] == '"') {
        argument += '"';
        ++i;
      } else {
        inQuotes = !inQuotes;
        if (quoted != nullptr) *quoted = true;
      }
      ++i;
    } else {
      argument.append(backslashes, '\\');
      if (backslashes == 0) argument += text[i++];
    }
  }
  text.remove_prefix(i);
  return argument;
}

// The ends of the words of `line`: every prefix of the line that ends just
// before a run of blanks or at the end of the line.
std::vector<std::size_t> WordEnds(std::string_view line) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool wordEndsHere = !IsBlank(line[i]) && (i + 1 == line.size() || IsBlank(line[i + 1]));
    if (wordEndsHere) ends.push_back(i + 1);
  }
  return ends;
}

std::optional<ResolvedCommand> Resolved(const std::filesystem::path& program, std::string written,
                                        std::string_view arguments) {
  ResolvedCommand command{program, {std::move(written)}};
  for (std::string& argument : SplitCommandLine(arguments)) command.argv.push_back(std::move(argument));
  return command;
}

}  // namespace

std::string QuoteArgument(std::string_view text) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote are doubled, and the quote escaped.
      if (c == '"') quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, '\\');  // doubled before the closing quote
  return quoted + '"';
}

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> arguments;
  for (text = WithoutLeadingBlanks(text); !text.empty(); text = WithoutLeadingBlanks(text)) {
    arguments.push_back(TakeArgument(text));
  }
  return arguments;
}

bool IsExecutableFile(const std::filesystem::path& file) {
  struct stat status {};
  return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(file.c_str(), X_OK) == 0;
}

std::optional<std::filesystem::path> FindProgram(std::string_view word, const ProgramSearch& search) {
  if (word.empty()) return std::nullopt;
  if (word.find('/') != std::string_view::npos) {
    const std::filesystem::path file = search.currentFolder / std::filesystem::path(word);
    if (IsExecutableFile(file)) return file;
    return std::nullopt;
  }
  std::vector<std::filesystem::path> folders = {search.ownFolder};
  std::string_view path = search.path;
  while (!path.empty()) {
    const std::size_t colon = path.find(':');
    const std::filesystem::path folder(path.substr(0, colon));
    if (folder.is_absolute()) folders.push_back(folder);
    path = colon == std::string_view::npos ? std::string_view() : path.substr(colon + 1);
  }
  for (const std::filesystem::path& folder : folders) {
    const std::filesystem::path file = folder / std::filesystem::path(word);
    if (IsExecutableFile(file)) return file;
  }
  return std::nullopt;
}

std::optional<ResolvedCommand> ResolveCommandLine(std::string_view commandLine, const ProgramSearch& search) {
  const std::string_view line = WithoutLeadingBlanks(commandLine);
  std::string_view rest = line;
  bool quoted = false;
  std::string first = TakeArgument(rest, &quoted);
  if (quoted) {
    std::optional<std::filesystem::path> program = FindProgram(first, search);
    if (!program) return std::nullopt;
    return Resolved(*program, std::move(first), rest);
  }
  for (std::size_t end : WordEnds(line)) {
    const std::string_view word = line.substr(0, end);
    if (std::optional<std::filesystem::path> program = FindProgram(word, search)) {
      return Resolved(*program, std::string(word), line.substr(end));
    }
  }
  return std::nullopt;
}

ProgramSearch CurrentProgramSearch() {
  std::error_code ec;
  ProgramSearch search{ProgramFolder(), std::filesystem::current_path(ec), {}};
  if (const char* path = std::getenv("PATH")) search.path = path;
  return search;
}

}  // namespace korvexa
