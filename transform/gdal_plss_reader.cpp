#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "core/korvexa_error.h"
#include "core/number_text.h"
#include "transform/plss_reader.h"

namespace korvexa {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const char* text) {
  std::string_view view(text ? text : "");
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.front()))) view.remove_prefix(1);
  while (!view.empty() && std::isspace(static_cast<unsigned char>(view.back()))) view.remove_suffix(1);
  return std::string(view);
}

// GDAL's errors go to its last-error slot, never to standard error, while
// the program talks to GDAL; they reach the user in our messages.
class QuietGdal {
 public:
  QuietGdal() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
  }
  ~QuietGdal() { CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;

  // GDAL's message for the last failure, or `otherwise`.
  static std::string Message(const std::string& otherwise) {
    const std::string message = Trimmed(CPLGetLastErrorMsg());
    return message.empty() ? otherwise : message;
  }
};

std::string Quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

// The name GDAL opens `path` under: a zip's one .gdb folder inside it, or
// the zip itself for a shapefile at its first level.
std::string GdalName(const fs::path& path) {
  if (Lower(path.extension().string()) != ".zip") return path.string();
  const std::string zip = "/vsizip/" + fs::absolute(path).string();
  char** entries = VSIReadDir(zip.c_str());
  if (!entries) throw KorvexaError(Quoted(path) + ": " + QuietGdal::Message("not a zip file GDAL can read"));
  std::vector<std::string> gdbs;
  bool shapefile = false;
  for (char** entry = entries; *entry; ++entry) {
    const std::string name = Lower(*entry);
    if (name.ends_with(".gdb") || name.ends_with(".gdb/")) gdbs.emplace_back(*entry);
    shapefile = shapefile || name.ends_with(".shp");
  }
  CSLDestroy(entries);
  if (gdbs.size() == 1) return zip + "/" + gdbs.front();
  if (gdbs.size() > 1) throw KorvexaError(Quoted(path) + " holds more than one .gdb folder; unzip the one to open");
  if (shapefile) return zip;
  throw KorvexaError(Quoted(path) + " holds no .gdb folder and no shapefile at its first level");
}

bool IsPointLayer(OGRLayer& layer) {
  const OGRwkbGeometryType type = wkbFlatten(layer.GetGeomType());
  return type == wkbPoint || type == wkbMultiPoint || type == wkbUnknown;
}

bool HasField(OGRLayer& layer, const char* name) {
  return layer.GetLayerDefn()->GetFieldIndex(name) >= 0;
}

bool IsCornerLayer(OGRLayer& layer) {
  return HasField(layer, "PLSSID") && (HasField(layer, "POINTLAB") || HasField(layer, "POINTID"));
}

OGRLayer* LayerNamed(GDALDataset& dataset, std::string_view name) {
  for (OGRLayer* layer : dataset.GetLayers()) {
    if (Lower(layer->GetName()) == Lower(std::string(name))) return layer;
  }
  return nullptr;
}

OGRLayer& CornerLayer(GDALDataset& dataset, const fs::path& path) {
  for (const char* name : {"PLSSPoint", "BLM_CO_PLSS_Point"}) {
    if (OGRLayer* layer = LayerNamed(dataset, name)) {
      if (!IsCornerLayer(*layer)) {
        throw KorvexaError("the layer " + std::string(layer->GetName()) + " of " + Quoted(path) +
                           " has no PLSSID field with a POINTLAB or POINTID field");
      }
      return *layer;
    }
  }
  std::string names;
  for (OGRLayer* layer : dataset.GetLayers()) {
    if (IsPointLayer(*layer) && IsCornerLayer(*layer)) return *layer;
    names += (names.empty() ? "" : ", ") + std::string(layer->GetName());
  }
  throw KorvexaError(Quoted(path) +
                     " holds no PLSS corner layer (PLSSPoint, or a point layer with PLSSID and POINTLAB" +
                     " or POINTID fields); " + (names.empty() ? "it holds no layer" : "its layers: " + names));
}

// How the corners' datum is taken, from the layer's geographic CRS.
struct DatumReading {
  Datum datum = Datum::Nad83;
  std::string notice;
};

std::string Squeezed(const char* name) {
  std::string squeezed;
  for (const char* c = name ? name : ""; *c; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) squeezed += static_cast<char>(std::toupper(*c));
  }
  return squeezed;
}

DatumReading ReadDatum(const OGRSpatialReference& geographic, const std::string& layerName) {
  const char* datumName = geographic.GetAttrValue("DATUM");
  const std::string name = Squeezed(datumName);
  const std::string code = Trimmed(geographic.GetAuthorityCode("DATUM"));
  const std::string shown = datumName ? datumName : "unnamed";
  if (code == "6267" || name.find("1927") != std::string::npos || name.find("NAD27") != std::string::npos) {
    return {Datum::Nad27, ""};
  }
  const bool nad83 = name.find("1983") != std::string::npos || name.find("NAD83") != std::string::npos;
  if (code == "6269" || ((name == "NORTHAMERICANDATUM1983" || name == "DNORTHAMERICAN1983") && code.empty())) {
    return {Datum::Nad83, ""};
  }
  if (nad83) return {Datum::Nad83, "The layer's datum " + shown + " is taken as NAD83"};
  if (code == "6326" || name.find("WGS84") != std::string::npos || name.find("WGS1984") != std::string::npos) {
    return {Datum::Nad83, "The layer's datum " + shown + " is taken as NAD83 (within about a metre of it)"};
  }
  throw KorvexaError("the layer " + layerName + " is on the datum " + shown +
                     "; its corners can be read on NAD27 or NAD83 only");
}

using Transformation = std::unique_ptr<OGRCoordinateTransformation, void (*)(OGRCoordinateTransformation*)>;

void DestroyTransformation(OGRCoordinateTransformation* transformation) {
  OGRCoordinateTransformation::DestroyCT(transformation);
}

// The unprojection from `source` to its own geographic CRS: no datum shift.
Transformation ToGeographic(const OGRSpatialReference& source, OGRSpatialReference& geographic) {
  OGRSpatialReference from(source);
  from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  geographic.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  OGRCoordinateTransformation* transformation = OGRCreateCoordinateTransformation(&from, &geographic);
  if (!transformation) throw KorvexaError(QuietGdal::Message("the layer's CRS cannot be unprojected"));
  return {transformation, DestroyTransformation};
}

// The filter that selects one township: its PLSSID compared in full.
std::string TownshipFilter(const std::string& field, const std::string& plssId) {
  std::string quoted;
  for (const char c : plssId) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return "\"" + field + "\" = '" + quoted + "'";
}

// The feature's field `index` as a number, when it is set.
std::optional<double> NumberField(OGRFeature& feature, int index) {
  if (index < 0 || !feature.IsFieldSetAndNotNull(index)) return std::nullopt;
  return feature.GetFieldAsDouble(index);
}

std::string Reliability(OGRFeature& feature, int text, int errorX, int errorY) {
  std::string reliability = text >= 0 ? Trimmed(feature.GetFieldAsString(text)) : "";
  const std::optional<double> x = NumberField(feature, errorX);
  const std::optional<double> y = NumberField(feature, errorY);
  if (x || y) {
    const double error = std::max(std::fabs(x.value_or(0)), std::fabs(y.value_or(0)));
    reliability += (reliability.empty() ? "±" : " ±") + NumberText(RoundDecimal(error, 1)) + " ft";
  }
  return reliability;
}

}  // namespace

// The one reader of a data set: GDAL's dataset and the corner layer.
class GdalPlssReader final : public PlssReader {
 public:
  explicit GdalPlssReader(const fs::path& path);
  const std::string& LayerName() const override;
  Datum GeographicDatum() const override;
  const std::string& DatumNotice() const override;
  std::vector<PlssTownshipCount> Townships() override;
  std::vector<PlssCorner> Corners(std::span<const std::string> plssIds) override;
  std::optional<std::vector<std::vector<GeoPosition>>> SectionLines(std::span<const std::string> plssIds) override;

 private:
  struct Open;
  std::unique_ptr<Open> open_;
};

struct GdalPlssReader::Open {
  GDALDatasetUniquePtr dataset;
  OGRLayer* layer = nullptr;
  std::string layerName;
  DatumReading datum;
  OGRSpatialReference geographic;
  Transformation toGeographic{nullptr, DestroyTransformation};
  std::string plssIdField;

  int Field(const char* name) const { return layer->GetLayerDefn()->GetFieldIndex(name); }

  // Has the layer read only the fields `kept` and, when `geometry`, the points.
  void ReadOnly(std::initializer_list<const char*> kept, bool geometry) const {
    OGRFeatureDefn& definition = *layer->GetLayerDefn();
    std::vector<std::string> ignored;
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
      const std::string name = definition.GetFieldDefn(i)->GetNameRef();
      if (std::none_of(kept.begin(), kept.end(), [&](const char* k) { return Lower(k) == Lower(name); })) {
        ignored.push_back(name);
      }
    }
    if (!geometry) ignored.emplace_back("OGR_GEOMETRY");
    ignored.emplace_back("OGR_STYLE");
    std::vector<const char*> list;
    for (const std::string& name : ignored) list.push_back(name.c_str());
    list.push_back(nullptr);
    layer->SetIgnoredFields(list.data());
  }
};

GdalPlssReader::GdalPlssReader(const fs::path& path) : open_(std::make_unique<Open>()) {
  QuietGdal quiet;
  std::error_code error;
  if (!fs::exists(path, error)) throw KorvexaError(Quoted(path) + " does not exist");
  const std::string name = GdalName(path);
  open_->dataset.reset(GDALDataset::Open(name.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!open_->dataset) throw KorvexaError(Quoted(path) + ": " + QuietGdal::Message("not a data set GDAL can read"));
  open_->layer = &CornerLayer(*open_->dataset, path);
  open_->layerName = open_->layer->GetName();
  const OGRSpatialReference* crs = open_->layer->GetSpatialRef();
  // A GeoPackage marks a layer without a CRS with its "undefined" one.
  const std::string datumName = crs ? Squeezed(crs->GetAttrValue("DATUM")) : "";
  if (!crs || datumName.empty() || datumName == "UNKNOWN" || datumName == "UNDEFINED") {
    throw KorvexaError("the layer " + open_->layerName + " of " + Quoted(path) +
                       " has no coordinate system: the datum of its corners cannot be known");
  }
  std::unique_ptr<OGRSpatialReference, void (*)(OGRSpatialReference*)> geographic(
      crs->CloneGeogCS(), OGRSpatialReference::DestroySpatialReference);
  if (!geographic) throw KorvexaError("the coordinate system of the layer " + open_->layerName + " has no datum");
  open_->geographic = *geographic;
  open_->datum = ReadDatum(open_->geographic, open_->layerName);
  open_->toGeographic = ToGeographic(*crs, open_->geographic);
  open_->plssIdField = open_->layer->GetLayerDefn()->GetFieldDefn(open_->Field("PLSSID"))->GetNameRef();
}

const std::string& GdalPlssReader::LayerName() const {
  return open_->layerName;
}

Datum GdalPlssReader::GeographicDatum() const {
  return open_->datum.datum;
}

const std::string& GdalPlssReader::DatumNotice() const {
  return open_->datum.notice;
}

std::vector<PlssTownshipCount> GdalPlssReader::Townships() {
  QuietGdal quiet;
  OGRLayer& layer = *open_->layer;
  open_->ReadOnly({"PLSSID"}, false);
  layer.SetAttributeFilter(nullptr);
  layer.ResetReading();
  const int field = open_->Field("PLSSID");
  std::unordered_map<std::string, std::size_t> counts;
  std::string last;
  std::size_t* lastCount = nullptr;
  // Corners come township by township: the map is asked once per township.
  for (OGRFeatureUniquePtr feature(layer.GetNextFeature()); feature; feature.reset(layer.GetNextFeature())) {
    const char* id = feature->GetFieldAsString(field);
    if (!lastCount || last != id) {
      last = id;
      const std::string key = Trimmed(id);
      lastCount = key.empty() ? nullptr : &counts[key];
      if (!lastCount) continue;
    }
    ++*lastCount;
  }
  if (CPLGetLastErrorType() >= CE_Failure) throw KorvexaError(QuietGdal::Message("reading the townships failed"));
  std::vector<PlssTownshipCount> townships;
  townships.reserve(counts.size());
  for (const auto& [id, count] : counts) townships.push_back({id, count});
  std::sort(townships.begin(), townships.end(),
            [](const PlssTownshipCount& a, const PlssTownshipCount& b) { return a.plssId < b.plssId; });
  return townships;
}

std::vector<PlssCorner> GdalPlssReader::Corners(std::span<const std::string> plssIds) {
  QuietGdal quiet;
  OGRLayer& layer = *open_->layer;
  open_->ReadOnly({"PLSSID", "POINTLAB", "POINTID", "ZCOORD", "ELEV", "RELYTXT", "ERRORX", "ERRORY"}, true);
  const int label = open_->Field("POINTLAB"), pointId = open_->Field("POINTID");
  const int z = open_->Field("ZCOORD"), elev = open_->Field("ELEV");
  const int relyText = open_->Field("RELYTXT"), errorX = open_->Field("ERRORX"), errorY = open_->Field("ERRORY");
  std::vector<PlssCorner> corners;
  for (const std::string& plssId : plssIds) {
    if (layer.SetAttributeFilter(TownshipFilter(open_->plssIdField, plssId).c_str()) != OGRERR_NONE) {
      throw KorvexaError(QuietGdal::Message("the layer cannot be searched for " + plssId));
    }
    layer.ResetReading();
    const std::size_t first = corners.size();
    std::vector<double> xs, ys;
    std::vector<std::size_t> located;
    for (OGRFeatureUniquePtr feature(layer.GetNextFeature()); feature; feature.reset(layer.GetNextFeature())) {
      PlssCorner corner;
      corner.plssId = plssId;
      corner.name = label >= 0 ? Trimmed(feature->GetFieldAsString(label)) : "";
      if (corner.name.empty() && pointId >= 0) {
        const std::string id = Trimmed(feature->GetFieldAsString(pointId));
        corner.name = id.substr(id.find('_') == std::string::npos ? 0 : id.rfind('_') + 1);
      }
      const std::optional<double> observed = NumberField(*feature, z);
      corner.elevationFeet = observed && *observed != 0 ? observed : NumberField(*feature, elev);
      corner.reliability = Reliability(*feature, relyText, errorX, errorY);
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (geometry && !geometry->IsEmpty() && wkbFlatten(geometry->getGeometryType()) == wkbPoint) {
        xs.push_back(geometry->toPoint()->getX());
        ys.push_back(geometry->toPoint()->getY());
        located.push_back(corners.size());
      }
      corners.push_back(std::move(corner));
    }
    if (CPLGetLastErrorType() >= CE_Failure) throw KorvexaError(QuietGdal::Message("reading " + plssId + " failed"));
    std::vector<int> success(xs.size(), 0);
    if (!xs.empty()) {
      open_->toGeographic->Transform(xs.size(), xs.data(), ys.data(), nullptr, nullptr, success.data());
    }
    for (std::size_t i = 0; i < located.size(); ++i) {
      if (success[i] && std::isfinite(xs[i]) && std::isfinite(ys[i])) {
        corners[located[i]].position = GeoPosition{open_->datum.datum, xs[i], ys[i]};
      }
    }
    std::stable_sort(corners.begin() + static_cast<std::ptrdiff_t>(first), corners.end(),
                     [](const PlssCorner& a, const PlssCorner& b) { return a.name < b.name; });
  }
  layer.SetAttributeFilter(nullptr);
  return corners;
}

std::optional<std::vector<std::vector<GeoPosition>>> GdalPlssReader::SectionLines(
    std::span<const std::string> plssIds) {
  QuietGdal quiet;
  OGRLayer* sections = LayerNamed(*open_->dataset, "PLSSFirstDivision");
  if (!sections || !HasField(*sections, "PLSSID") || !sections->GetSpatialRef()) return std::nullopt;
  const int field = sections->GetLayerDefn()->GetFieldIndex("PLSSID");
  const std::string fieldName = sections->GetLayerDefn()->GetFieldDefn(field)->GetNameRef();
  std::unique_ptr<OGRSpatialReference, void (*)(OGRSpatialReference*)> geographic(
      sections->GetSpatialRef()->CloneGeogCS(), OGRSpatialReference::DestroySpatialReference);
  // Lines on another datum than the corners' would need a shift of their own.
  if (!geographic || ReadDatum(*geographic, sections->GetName()).datum != open_->datum.datum) return std::nullopt;
  const Transformation transformation = ToGeographic(*sections->GetSpatialRef(), *geographic);
  std::vector<std::vector<GeoPosition>> lines;
  auto addRing = [&](const OGRLinearRing& ring) {
    std::vector<double> xs, ys;
    for (const OGRPoint& point : ring) {
      xs.push_back(point.getX());
      ys.push_back(point.getY());
    }
    if (xs.size() < 2 || !transformation->Transform(xs.size(), xs.data(), ys.data())) return;
    std::vector<GeoPosition> line;
    for (std::size_t i = 0; i < xs.size(); ++i) line.push_back({open_->datum.datum, xs[i], ys[i]});
    lines.push_back(std::move(line));
  };
  auto addPolygon = [&](const OGRPolygon& polygon) {
    for (const OGRLinearRing* ring : polygon) addRing(*ring);
  };
  for (const std::string& plssId : plssIds) {
    sections->SetAttributeFilter(TownshipFilter(fieldName, plssId).c_str());
    sections->ResetReading();
    for (OGRFeatureUniquePtr feature(sections->GetNextFeature()); feature; feature.reset(sections->GetNextFeature())) {
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (!geometry) continue;
      const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
      if (type == wkbPolygon) addPolygon(*geometry->toPolygon());
      if (type == wkbMultiPolygon) {
        for (const OGRPolygon* polygon : *geometry->toMultiPolygon()) addPolygon(*polygon);
      }
    }
  }
  sections->SetAttributeFilter(nullptr);
  return lines;
}

extern "C" PlssReader* KorvexaOpenPlssReader(const fs::path& path) {
  return new GdalPlssReader(path);
}

}  // namespace korvexa
