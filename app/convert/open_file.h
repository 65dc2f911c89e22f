// File > Open after the dialog, for the window and korvexa-convert alike.
//
// The folder of the opened file becomes the working folder, the process's
// current folder: the converters and Create resolve the bare file title
// (fName) and the output names against it, which is how the outputs come to
// lie beside the input. OpenLxFile is the one place that changes it.
#pragma once

#include <filesystem>
#include <string>

#include "core/lx_file.h"

namespace korvexa {

class Converters;

struct LoadedFile {
  std::string fName;  // file name with extension, no folder
  LxLines lines;      // sorted, de-duplicated records
};

// Makes the folder of `path` the current folder, runs the line-end converter
// on the file's title there and reads the file. A file that is no GCDB .LX
// text (RequireLxFile: a picture, a README or an empty file opened by
// mistake) is refused before anything runs or changes it, and so is one that
// is no regular file or too large. Throws
// KorvexaError when the file is refused, the folder cannot be entered or the
// file cannot be read; the current folder is then the one before the call.
LoadedFile OpenLxFile(const std::filesystem::path& path, Converters& converters);

// OpenLxFile without the line-end converter: the file is read as it is (its
// lines may end in CR, LF or CR LF) and never changed, as batch work wants.
LoadedFile OpenLxFileUnchanged(const std::filesystem::path& path);

}  // namespace korvexa
