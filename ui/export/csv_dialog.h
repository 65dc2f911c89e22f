// The choices of File > Export that need the user: the grid and columns of a
// data collector's point file, and which Garmin unit to send to when several
// are mounted. Behind an interface so that tests answer without a modal
// dialog.
#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/export/csv_export.h"
#include "app/export/garmin_unit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvexa {

// What the point file dialog asks for.
struct CsvChoice {
  std::string crs;  // an EPSG code as the user gave it: "EPSG:2258", "2258"
  CsvLayout layout;
  std::string collector;  // the CollectorLayout's key (csv_layouts.h) the layout is, or empty: columns chosen
  std::string namePrefix{};  // before every point name; empty for none
};

// Checks a typed EPSG code against the corners (CheckGrid).
using GridChecker = std::function<GridCheck(const std::string& code)>;

class ExportChoices {
 public:
  virtual ~ExportChoices() = default;

  // The grid and layout for the corners of `offer`: the zone of the county
  // preselected, else `last` (the choice of the last export) where it is
  // offered, else the best guess; a typed code is checked with `check` as
  // it is typed, and one that cannot take the corners cannot be chosen.
  // Nothing when the user cancelled.
  virtual std::optional<CsvChoice> ChooseCsv(QWidget* parent, const GridOffer& offer, const CsvChoice& last,
                                             const GridChecker& check) = 0;

  // The index of the unit among `units` to send to; nothing when cancelled.
  virtual std::optional<std::size_t> ChooseUnit(QWidget* parent, const std::vector<GarminUnit>& units) = 0;

  // The name prefix for the waypoints of GPX, KML and CSV files, starting
  // from `current`; empty for none, nothing when cancelled.
  virtual std::optional<std::string> ChooseNamePrefix(QWidget* parent, const std::string& current) = 0;
};

// The grid offered for `offer`, best first, in an editable list that also
// takes any EPSG code; the area of use of the chosen or typed one shown under
// it (its counties, where EPSG names them), or why a typed one cannot take
// the corners (OK is disabled then); the import layout of a data
// collector's software, or PNEZD or PENZD and a header row or none.
class CsvDialog : public QDialog {
  Q_OBJECT

 public:
  CsvDialog(const GridOffer& offer, const CsvChoice& last, GridChecker check, QWidget* parent = nullptr);

  CsvChoice Choice() const;

  QComboBox* crsBox;
  QLabel* areaLabel;
  QPushButton* okButton;
  QComboBox* layoutBox;
  QRadioButton* pnezdButton;
  QRadioButton* penzdButton;
  QCheckBox* headerBox;
  QLineEdit* prefixEdit;

 private:
  void ShowArea();
  void MakeLayoutChoice(const CsvChoice& last);
  void ShowLayout();

  std::vector<GridCrs> systems_;
  GridChecker check_;
};

// CsvDialog and Qt's item input dialog.
class QtExportChoices : public ExportChoices {
 public:
  std::optional<CsvChoice> ChooseCsv(QWidget* parent, const GridOffer& offer, const CsvChoice& last,
                                     const GridChecker& check) override;
  std::optional<std::size_t> ChooseUnit(QWidget* parent, const std::vector<GarminUnit>& units) override;
  std::optional<std::string> ChooseNamePrefix(QWidget* parent, const std::string& current) override;
};

}  // namespace korvexa
