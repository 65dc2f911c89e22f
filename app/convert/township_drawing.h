// The township of a .LX file as the drawing (and the map) shows it, and
// lx2dxf's job: read the chains, decode and project every point to the NAD27
// UTM zone of the township, and write the DXF drawing.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/converters.h"
#include "core/township.h"
#include "core/usable_point.h"
#include "process/system_converters.h"
#include "transform/projection.h"

namespace korvexa {

struct TownshipDrawing {
  Township township;
  std::vector<LeftOutPoint> leftOut;  // in file order
};

// The township of the .LX text `text` (the file `fileName`, named in
// messages): every distinct point with usable coordinates, decoded (NAD27)
// and projected to the UTM zone of the township's median longitude (named in
// Township::utmZone), and the segments of its chains between such points
// (none between a point and itself). Left out, with the reason: points
// without usable coordinates (core/usable_point.h), points more than 3
// degrees from the median of the others, points PROJ cannot project.
// Throws KorvexaError naming the file when no point can be drawn or the
// township lies outside the NAD27 UTM zones. The projection comes from
// `projections`. With `keys`, puts there for each point of the township
// columns 1 to 41 of its record (the key by which the list knows it),
// viewing `text`.
TownshipDrawing ProjectTownship(std::string_view text, const std::string& fileName, UtmProjections& projections,
                                std::vector<std::string_view>* keys = nullptr);

// The drawing's name, by the rule of every output (OutputNameOf):
// "t12n.lx" -> "t12n.dxf". Throws KorvexaError when `lxFile` leaves no name.
std::filesystem::path DrawingPath(const std::string& lxFile);

// Reads `lxFile` and writes its drawing to `drawing`, completely or not at
// all; with `byReliability` the lines go on one layer per reliability.
// Returns the points left out. Throws KorvexaError saying why nothing was
// written.
std::vector<LeftOutPoint> WriteTownshipDrawing(const std::string& lxFile, const std::filesystem::path& drawing,
                                               bool byReliability, UtmProjections& projections);

// The converters of a batch for one file: line ends as the system's
// converters convert them, but the drawing made in this process, as lx2dxf
// makes it (ProjectTownship), from `text`, the file's text as it was loaded,
// with the projections of the whole run. A drawing is made when it is
// waited for, into the file it was given.
class InProcessDrawing : public SystemConverters {
 public:
  InProcessDrawing(std::shared_ptr<const std::string> text, UtmProjections& projections)
      : text_(std::move(text)), projections_(projections) {}

  std::unique_ptr<DrawingJob> StartDrawing(const std::string& fName, const std::string& drawingName) override;

 private:
  std::shared_ptr<const std::string> text_;
  UtmProjections& projections_;
};

}  // namespace korvexa
