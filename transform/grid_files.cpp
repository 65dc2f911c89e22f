#include "transform/grid_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvexa::prolat {
namespace {

// An open file: its bytes in memory, or a stdio stream.
struct HeldFile {
  std::string bytes;
  bool inMemory = false;
  std::size_t position = 0;
  std::FILE* stream = nullptr;
};

HeldFile* AsFile(PROJ_FILE_HANDLE* handle) {
  return reinterpret_cast<HeldFile*>(handle);
}

bool ReadWhole(const char* filename, std::string& bytes) {
  struct stat status {};
  if (::stat(filename, &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::size_t>(status.st_size) > kLargestHeldGridFile || std::string_view(filename).ends_with(".db")) {
    return false;
  }
  std::FILE* stream = std::fopen(filename, "rb");
  if (stream == nullptr) return false;
  bytes.resize(static_cast<std::size_t>(status.st_size));
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), stream);
  const bool complete = got == bytes.size() && std::fgetc(stream) == EOF && !std::ferror(stream);
  std::fclose(stream);
  return complete;
}

PROJ_FILE_HANDLE* Open(PJ_CONTEXT*, const char* filename, PROJ_OPEN_ACCESS access, void*) {
  auto file = std::make_unique<HeldFile>();
  if (access == PROJ_OPEN_ACCESS_READ_ONLY && ReadWhole(filename, file->bytes)) {
    file->inMemory = true;
    return reinterpret_cast<PROJ_FILE_HANDLE*>(file.release());
  }
  const char* mode = access == PROJ_OPEN_ACCESS_READ_ONLY     ? "rb"
                     : access == PROJ_OPEN_ACCESS_READ_UPDATE ? "r+b"
                                                              : "w+b";
  file->stream = std::fopen(filename, mode);
  if (file->stream == nullptr) return nullptr;
  return reinterpret_cast<PROJ_FILE_HANDLE*>(file.release());
}

std::size_t Read(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, void* buffer, std::size_t size, void*) {
  HeldFile* file = AsFile(handle);
  if (!file->inMemory) return std::fread(buffer, 1, size, file->stream);
  const std::size_t available = file->position < file->bytes.size() ? file->bytes.size() - file->position : 0;
  const std::size_t got = std::min(size, available);
  std::memcpy(buffer, file->bytes.data() + file->position, got);
  file->position += got;
  return got;
}

std::size_t Write(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, const void* buffer, std::size_t size, void*) {
  HeldFile* file = AsFile(handle);
  return file->inMemory ? 0 : std::fwrite(buffer, 1, size, file->stream);
}

int Seek(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, long long offset, int whence, void*) {
  HeldFile* file = AsFile(handle);
  if (!file->inMemory) return ::fseeko(file->stream, static_cast<off_t>(offset), whence) == 0;
  const long long base = whence == SEEK_SET   ? 0
                         : whence == SEEK_CUR ? static_cast<long long>(file->position)
                                              : static_cast<long long>(file->bytes.size());
  if (base + offset < 0) return 0;
  file->position = static_cast<std::size_t>(base + offset);
  return 1;
}

unsigned long long Tell(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, void*) {
  HeldFile* file = AsFile(handle);
  if (file->inMemory) return file->position;
  const off_t position = ::ftello(file->stream);
  return position < 0 ? 0 : static_cast<unsigned long long>(position);
}

void Close(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, void*) {
  HeldFile* file = AsFile(handle);
  if (file->stream != nullptr) std::fclose(file->stream);
  delete file;
}

int Exists(PJ_CONTEXT*, const char* filename, void*) {
  struct stat status {};
  return ::stat(filename, &status) == 0;
}

int MakeFolder(PJ_CONTEXT*, const char* filename, void*) {
  std::error_code ec;
  std::filesystem::create_directories(filename, ec);
  return std::filesystem::is_directory(filename, ec);
}

int Unlink(PJ_CONTEXT*, const char* filename, void*) {
  return std::remove(filename) == 0;
}

int Rename(PJ_CONTEXT*, const char* oldPath, const char* newPath, void*) {
  return std::rename(oldPath, newPath) == 0;
}

constexpr PROJ_FILE_API kApi = {1, Open, Read, Write, Seek, Tell, Close, Exists, MakeFolder, Unlink, Rename};

}  // namespace

const PROJ_FILE_API& HeldGridFileApi() {
  return kApi;
}

bool HoldGridFilesInMemory(PJ_CONTEXT* context) {
  return proj_context_set_fileapi(context, &kApi, nullptr) != 0;
}

}  // namespace korvexa::prolat
