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

}  // namespace

std::vector<std::string> SplitAtBlanks(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  for (std::size_t end : WordEnds(text)) {
    while (IsBlank(text[start])) ++start;
    words.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return words;
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
  std::vector<std::filesystem::path> folders = {search.ownFolder, search.currentFolder};
  std::string_view path = search.path;
  while (!path.empty()) {
    const std::size_t colon = path.find(':');
    folders.push_back(search.currentFolder / std::filesystem::path(path.substr(0, colon)));
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
  for (std::size_t end : WordEnds(line)) {
    const std::string_view word = line.substr(0, end);
    std::optional<std::filesystem::path> program = FindProgram(word, search);
    if (!program) continue;
    ResolvedCommand command{*program, {std::string(word)}};
    for (std::string& argument : SplitAtBlanks(line.substr(end))) command.argv.push_back(std::move(argument));
    return command;
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
