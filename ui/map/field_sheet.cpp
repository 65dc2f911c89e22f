#include "ui/map/field_sheet.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "core/korvexa_error.h"
#include "ui/map/corner_text.h"
#include "ui/map/map_painter.h"

namespace korvexa {
namespace {

constexpr double kUnitsPerInch = 96;
constexpr double kMargin = 40;
constexpr double kRowHeight = 15;
constexpr double kFooterHeight = 20;
constexpr double kGap = 12;
constexpr int kPngDotsPerInch = 150;
constexpr int kPdfDotsPerInch = 600;
const QSizeF kLetterUnits(8.5 * kUnitsPerInch, 11 * kUnitsPerInch);

QFont SheetFont(double pixels, bool bold = false) {
  QFont font = MapLabelFont();
  font.setPixelSize(static_cast<int>(pixels));
  font.setBold(bold);
  return font;
}

QString DateText(const CivilTime& date) {
  return QString::asprintf("%04d-%02d-%02d %02d:%02d", date.year, date.month, date.day, date.hour, date.minute);
}

// The x position of each table column, from the left margin.
constexpr double kColumns[] = {0, 90, 250, 420};

[[noreturn]] void CannotWrite(const QString& path, const QString& why) {
  throw KorvexaError("cannot write \"" + path.toStdString() + "\": " + why.toStdString());
}

}  // namespace

struct FieldSheet::Layout {
  QSizeF page;
  QRectF map;            // first page
  double firstTableTop;  // first page
  double nextTableTop;   // later pages
  double tableBottom;
  int firstRows;  // table rows (without the heading) on the first page
  int nextRows;   // on each later page
};

FieldSheet::FieldSheet(const QString& fileName, const TownshipMap& map, const PointList& points,
                       const MapViewport& view, const CivilTime& date, const CoordinateTransform* nad83)
    : fileName_(fileName),
      map_(map),
      points_(points),
      view_(view),
      date_(date),
      datum_(nad83 != nullptr || !map.waypoints.empty() ? QStringLiteral("NAD83") : QStringLiteral("NAD27")) {
  std::vector<std::size_t> cornerOf(points.size(), kNoListEntry);
  for (std::size_t corner = 0; corner < map.entryOf.size(); ++corner) {
    if (map.entryOf[corner] < cornerOf.size()) cornerOf[map.entryOf[corner]] = corner;
  }
  for (std::size_t entry = 0; entry < points.size(); ++entry) {
    if (!points[entry].ticked) continue;
    if (cornerOf[entry] == kNoListEntry) {
      ++tickedNotOnMap_;
    } else {
      rows_.push_back(DescribeCorner(map, points, cornerOf[entry], nad83));
    }
  }
}

FieldSheet::Layout FieldSheet::LayoutFor(QSizeF page) const {
  Layout layout;
  layout.page = page;
  const double width = page.width() - 2 * kMargin;
  const double headerBottom = kMargin + 62;
  layout.tableBottom = page.height() - kMargin - kFooterHeight;
  const double minimumTable = 8 * kRowHeight;
  const double mapHeight = std::clamp(layout.tableBottom - headerBottom - kGap - minimumTable, 120.0, width * 0.75);
  layout.map = QRectF(kMargin, headerBottom, width, mapHeight);
  layout.firstTableTop = layout.map.bottom() + kGap;
  layout.nextTableTop = kMargin + 30;
  auto rows = [&](double top) { return std::max(1, static_cast<int>((layout.tableBottom - top) / kRowHeight) - 2); };
  layout.firstRows = rows(layout.firstTableTop);
  layout.nextRows = rows(layout.nextTableTop);
  return layout;
}

int FieldSheet::PageCount(QSizeF page) const {
  return PageCount(LayoutFor(page));
}

int FieldSheet::PageCount(const Layout& layout) const {
  const auto rest = static_cast<int>(rows_.size()) - layout.firstRows;
  return rest <= 0 ? 1 : 1 + (rest + layout.nextRows - 1) / layout.nextRows;
}

void FieldSheet::PaintPage(QPainter& painter, int index, QSizeF page) const {
  const Layout layout = LayoutFor(page);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(QPointF(0, 0), page), Qt::white);
  PaintHeader(painter, layout, index, PageCount(layout));
  if (index == 0) PaintMapFrame(painter, layout);
  PaintTable(painter, layout, index);
  painter.restore();
}

void FieldSheet::PaintHeader(QPainter& painter, const Layout& layout, int index, int pages) const {
  const double width = layout.page.width() - 2 * kMargin;
  painter.setPen(Qt::black);
  if (index == 0) {
    painter.setFont(SheetFont(18, true));
    painter.drawText(QRectF(kMargin, kMargin, width, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Field sheet: %1").arg(fileName_));
    painter.setFont(SheetFont(11));
    // A data set's map is drawn on NAD83, from its corners' waypoints.
    const bool dataset = !map_.waypoints.empty();
    QString datumName = QStringLiteral("North American Datum of 1927");
    if (datum_ == QLatin1String("NAD83")) {
      datumName = QStringLiteral("North American Datum of 1983") +
                  (dataset ? QString() : QStringLiteral(", by the NADCON grids"));
    }
    const QString datum = QStringLiteral("Positions in %1 (%2), map in %3 UTM zone %4N metres, grid north up")
                              .arg(datum_, datumName, dataset ? QStringLiteral("NAD83") : QStringLiteral("NAD27"))
                              .arg(map_.township.utmZone);
    const QString ticks = QStringLiteral("%1 of %2 ticked, %3")
                              .arg(rows_.size())
                              .arg(Counted(map_.township.points.size(), "corner", "corners"))
                              .arg(DateText(date_));
    painter.drawText(QRectF(kMargin, kMargin + 26, width, 16), Qt::AlignLeft | Qt::AlignVCenter, datum);
    painter.drawText(QRectF(kMargin, kMargin + 42, width, 16), Qt::AlignLeft | Qt::AlignVCenter, ticks);
  } else {
    painter.setFont(SheetFont(11, true));
    painter.drawText(QRectF(kMargin, kMargin, width, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Field sheet: %1 (continued), %2, %3").arg(fileName_, datum_, DateText(date_)));
  }
  painter.setFont(SheetFont(9));
  painter.setPen(Qt::darkGray);
  painter.drawText(QRectF(kMargin, layout.page.height() - kMargin - 14, width, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Korvexa, page %1 of %2").arg(index + 1).arg(pages));
}

// The map shows what the window shows, as large as the frame allows.
void FieldSheet::PaintMapFrame(QPainter& painter, const Layout& layout) const {
  const QRectF frame = layout.map;
  const double metresPerUnit = std::max(view_.width() * view_.metresPerPixel() / frame.width(),
                                        view_.height() * view_.metresPerPixel() / frame.height());
  const MapViewport sheetView(view_.centre(), metresPerUnit, frame.width(), frame.height());
  painter.save();
  painter.translate(frame.topLeft());
  PaintMap(painter, map_, points_, sheetView, MapLabels::TickedOnly);
  painter.restore();
  painter.setPen(QPen(Qt::black, 0.8));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(frame);
}

void FieldSheet::PaintTable(QPainter& painter, const Layout& layout, int index) const {
  const double top = index == 0 ? layout.firstTableTop : layout.nextTableTop;
  const int first = index == 0 ? 0 : layout.firstRows + (index - 1) * layout.nextRows;
  const int count = index == 0 ? layout.firstRows : layout.nextRows;
  const int end = std::min(static_cast<int>(rows_.size()), first + count);
  const double width = layout.page.width() - 2 * kMargin;
  double y = top;
  auto cell = [&](int column, const QString& text) {
    painter.drawText(QRectF(kMargin + kColumns[column], y, width - kColumns[column], kRowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
  };
  painter.setPen(Qt::black);
  painter.setFont(SheetFont(10, true));
  cell(0, QStringLiteral("PointID"));
  cell(1, QStringLiteral("Latitude (%1)").arg(datum_));
  cell(2, QStringLiteral("Longitude (%1)").arg(datum_));
  cell(3, QStringLiteral("Elevation"));
  painter.drawLine(QPointF(kMargin, y + kRowHeight), QPointF(kMargin + width, y + kRowHeight));
  y += kRowHeight + 2;
  painter.setFont(SheetFont(10));
  if (rows_.empty()) cell(0, QStringLiteral("No corner on the map is ticked."));
  for (int row = first; row < end; ++row, y += kRowHeight) {
    const CornerFacts& facts = rows_[static_cast<std::size_t>(row)];
    cell(0, Latin1Text(facts.id));
    // A corner the shift could not move says its own datum.
    const QString otherDatum = datum_ == QLatin1String(facts.datum) ? QString() : QLatin1String(" ") + facts.datum;
    cell(1, LatitudeText(facts.latitude) + otherDatum);
    cell(2, LongitudeText(facts.longitude) + otherDatum);
    cell(3, ElevationText(facts));
  }
  if (end == static_cast<int>(rows_.size()) && tickedNotOnMap_ > 0) {
    painter.setPen(Qt::darkGray);
    cell(0, QStringLiteral("%1 not on the map (without usable coordinates or far off) and not listed.")
                .arg(Counted(tickedNotOnMap_, "ticked point is", "ticked points are")));
  }
}

void WriteFieldSheetPdf(const FieldSheet& sheet, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) CannotWrite(path, file.errorString());
  {
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kPdfDotsPerInch);
    writer.setTitle(QStringLiteral("Field sheet: %1").arg(QFileInfo(path).fileName()));
    writer.setCreator(QStringLiteral("Korvexa"));
    QPainter painter;
    if (!painter.begin(&writer)) throw KorvexaError("cannot start the PDF file \"" + path.toStdString() + "\"");
    const double scale = kPdfDotsPerInch / kUnitsPerInch;
    const int pages = sheet.PageCount(kLetterUnits);
    for (int page = 0; page < pages; ++page) {
      if (page > 0) writer.newPage();
      painter.resetTransform();
      painter.scale(scale, scale);
      sheet.PaintPage(painter, page, kLetterUnits);
    }
    painter.end();
  }
  if (!file.commit()) CannotWrite(path, file.errorString());
}

void WriteFieldSheetPng(const FieldSheet& sheet, const QString& path) {
  const double scale = kPngDotsPerInch / kUnitsPerInch;
  const int allPages = sheet.PageCount(kLetterUnits);
  const int pages = std::min(allPages, kMostPngPages);
  const QSize pageSize = (kLetterUnits * scale).toSize();
  QImage image(pageSize.width(), pageSize.height() * pages, QImage::Format_RGB32);
  if (image.isNull()) throw KorvexaError("not enough memory for the picture \"" + path.toStdString() + "\"");
  image.setDotsPerMeterX(static_cast<int>(std::lround(kPngDotsPerInch / 0.0254)));
  image.setDotsPerMeterY(image.dotsPerMeterX());
  QPainter painter(&image);
  for (int page = 0; page < pages; ++page) {
    painter.resetTransform();
    painter.translate(0, page * pageSize.height());
    painter.scale(scale, scale);
    sheet.PaintPage(painter, page, kLetterUnits);
  }
  if (pages < allPages) {
    painter.setFont(SheetFont(9));
    painter.setPen(Qt::darkGray);
    painter.drawText(
        QRectF(kMargin, kLetterUnits.height() - kMargin - 14, kLetterUnits.width() / 2, 14),
        Qt::AlignLeft | Qt::AlignVCenter,
        QStringLiteral("The picture holds %1 of %2 pages; the PDF holds them all.").arg(pages).arg(allPages));
  }
  painter.end();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) CannotWrite(path, file.errorString());
  QImageWriter writer(&file, "png");
  if (!writer.write(image)) CannotWrite(path, writer.errorString());
  if (!file.commit()) CannotWrite(path, file.errorString());
}

void PrintFieldSheet(const FieldSheet& sheet, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) throw KorvexaError("the printer cannot be used");
  const double scale = printer.resolution() / kUnitsPerInch;
  const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size() / scale;
  const int pages = sheet.PageCount(page);
  for (int index = 0; index < pages; ++index) {
    if (index > 0 && !printer.newPage())
      throw KorvexaError("the printer did not take page " + std::to_string(index + 1));
    painter.resetTransform();
    painter.scale(scale, scale);
    sheet.PaintPage(painter, index, page);
  }
  if (!painter.end()) throw KorvexaError("the printer did not finish the sheet");
}

}  // namespace korvexa
