// The field sheet: the township map as the map window shows it with the
// ticked corners labelled, the file's name, the datum, the date, and a table
// of the ticked corners (PointID, latitude, longitude, elevation) that runs
// on over further pages. Printed, saved as PDF, or saved as PNG.
//
// Units: a sheet is laid out in sheet units of 1/96 inch, whatever the
// resolution of the device; a Letter page is 816 x 1056 units.
#pragma once

#include <QPainter>
#include <QSizeF>
#include <QString>
#include <vector>

#include "app/map/map_viewport.h"
#include "app/map/township_map.h"
#include "core/clock.h"
#include "core/point_list.h"

class QPrinter;

namespace korvexa {
class CoordinateTransform;
}

namespace korvexa {

class FieldSheet {
 public:
  // A sheet of `map` with the ticks of `points` (the list the map was built
  // with) for the file `fileName`, showing what `view` shows, dated
  // `date`, its positions in NAD83 through `nad83` when given (as the
  // waypoint file being made has them), else NAD27 (a data set's map is
  // NAD83 whatever `nad83` is). The sheet views `map`
  // and `points`, which must outlive it.
  FieldSheet(const QString& fileName, const TownshipMap& map, const PointList& points, const MapViewport& view,
             const CivilTime& date, const CoordinateTransform* nad83 = nullptr);

  // The pages a page of `page` units holds the sheet on.
  int PageCount(QSizeF page) const;
  // Paints page `index` (0-based) on a page of `page` units, the painter's
  // user space measured in units from the top left corner of the page.
  void PaintPage(QPainter& painter, int index, QSizeF page) const;

 private:
  struct Layout;
  Layout LayoutFor(QSizeF page) const;
  int PageCount(const Layout& layout) const;
  void PaintHeader(QPainter& painter, const Layout& layout, int index, int pages) const;
  void PaintMapFrame(QPainter& painter, const Layout& layout) const;
  void PaintTable(QPainter& painter, const Layout& layout, int index) const;

  QString fileName_;
  const TownshipMap& map_;
  const PointList& points_;
  MapViewport view_;
  CivilTime date_;
  QString datum_;  // of the table: "NAD27" or "NAD83"
  std::vector<CornerFacts> rows_;
  std::size_t tickedNotOnMap_ = 0;
};

// Writes the sheet as a Letter-size PDF file at `path`, completely or not at
// all. Throws KorvexaError saying why nothing was written.
void WriteFieldSheetPdf(const FieldSheet& sheet, const QString& path);

// Writes the sheet as a PNG picture at `path` (150 dots per inch, the pages
// of a Letter-size sheet one below the other, at most kMostPngPages of them;
// the last says so when there are more), completely or not at all. Throws
// KorvexaError saying why nothing was written.
inline constexpr int kMostPngPages = 10;
void WriteFieldSheetPng(const FieldSheet& sheet, const QString& path);

// Prints the sheet on `printer`, set up by the print dialog. Throws
// KorvexaError when the printer cannot be used.
void PrintFieldSheet(const FieldSheet& sheet, QPrinter& printer);

}  // namespace korvexa
