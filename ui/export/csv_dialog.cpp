#include "ui/export/csv_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QVBoxLayout>
#include <initializer_list>
#include <string_view>

#include "app/export/send_to_gps.h"
#include "ui/desktop/look.h"
#include "writers/csv_layouts.h"

namespace korvexa {
namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CsvDialog::CsvDialog(const GridOffer& offer, const CsvChoice& last, GridChecker check, QWidget* parent)
    : QDialog(parent), systems_(offer.systems), check_(std::move(check)) {
  setObjectName(QStringLiteral("CsvDialog"));
  setWindowTitle(QStringLiteral("Point file for a data collector"));
  crsBox = Named(new QComboBox(this), "crsBox");
  crsBox->setEditable(true);
  crsBox->setInsertPolicy(QComboBox::NoInsert);
  crsBox->setMinimumContentsLength(48);
  // The county's zone is the guess to beat: the last export's grid only
  // where no county gave one.
  const bool countysZone = !offer.counties.empty() && offer.counties.front().middle;
  int chosen = 0;
  for (std::size_t i = 0; i < systems_.size(); ++i) {
    crsBox->addItem(QString::fromStdString(systems_[i].Label() + "  (" + systems_[i].unitName + ")"));
    if (systems_[i].code == last.crs && !countysZone) chosen = static_cast<int>(i);
  }
  if (systems_.empty()) crsBox->setEditText(QString::fromStdString(last.crs));
  crsBox->setCurrentIndex(systems_.empty() ? -1 : chosen);
  areaLabel = Named(new QLabel(this), "areaLabel");
  areaLabel->setWordWrap(true);

  MakeLayoutChoice(last);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  connect(crsBox, &QComboBox::currentIndexChanged, this, &CsvDialog::ShowArea);
  connect(crsBox, &QComboBox::editTextChanged, this, &CsvDialog::ShowArea);
  ShowArea();
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Grid (best guess first; or type an EPSG code):"), this));
  layout->addWidget(crsBox);
  layout->addWidget(areaLabel);
  if (const std::optional<std::string> doubt = ZoneDoubt(offer)) {
    QString text = QString::fromStdString(*doubt);
    text[0] = text[0].toUpper();
    auto* doubtLabel =
        Named(new QLabel(text + QStringLiteral(": check which zone the county uses."), this), "doubtLabel");
    doubtLabel->setWordWrap(true);
    layout->addWidget(doubtLabel);
  }
  layout->addWidget(new QLabel(QStringLiteral("Layout (the import format of the field software):"), this));
  layout->addWidget(layoutBox);
  layout->addWidget(pnezdButton);
  layout->addWidget(penzdButton);
  layout->addWidget(headerBox);
  auto* prefixRow = new QFormLayout;
  prefixRow->addRow(QStringLiteral("Name prefix (before every point name):"), prefixEdit);
  layout->addLayout(prefixRow);
  layout->addWidget(buttons);
}

void CsvDialog::MakeLayoutChoice(const CsvChoice& last) {
  layoutBox = Named(new QComboBox(this), "layoutBox");
  for (const CollectorLayout& collector : CollectorLayouts()) {
    layoutBox->addItem(
        Utf8(collector.name) + QStringLiteral(" (") + Utf8(collector.columns) + QStringLiteral(", no header)"),
        Utf8(collector.key));
  }
  layoutBox->addItem(QStringLiteral("Other: the columns below"), QString());
  const int lastIndex = layoutBox->findData(QString::fromStdString(last.collector));
  layoutBox->setCurrentIndex(lastIndex >= 0 ? lastIndex : layoutBox->count() - 1);
  pnezdButton = new QRadioButton(QStringLiteral("Point, Northing, Easting, Elevation, Description (PNEZD)"), this);
  penzdButton = new QRadioButton(QStringLiteral("Point, Easting, Northing, Elevation, Description (PENZD)"), this);
  (last.layout.columns == CsvColumns::Penzd ? penzdButton : pnezdButton)->setChecked(true);
  headerBox = new QCheckBox(QStringLiteral("Header row (naming the unit of the coordinates)"), this);
  headerBox->setChecked(last.layout.header);
  prefixEdit = Named(new QLineEdit(QString::fromStdString(last.namePrefix), this), "prefixEdit");
  prefixEdit->setPlaceholderText(QStringLiteral("none"));
  connect(layoutBox, &QComboBox::currentIndexChanged, this, &CsvDialog::ShowLayout);
  ShowLayout();
}

// A collector's layout sets the columns and the header; "Other" leaves them
// to the user.
void CsvDialog::ShowLayout() {
  const std::optional<CollectorLayout> collector = CollectorLayoutOf(layoutBox->currentData().toString().toStdString());
  for (QWidget* widget : std::initializer_list<QWidget*>{pnezdButton, penzdButton, headerBox}) {
    widget->setEnabled(!collector);
  }
  if (!collector) return;
  (collector->layout.columns == CsvColumns::Penzd ? penzdButton : pnezdButton)->setChecked(true);
  headerBox->setChecked(collector->layout.header);
}

// The county list of the chosen zone lets the user check the guess; a
// typed code is checked at once, so that a wrong one loses no choice made.
void CsvDialog::ShowArea() {
  const int index = crsBox->findText(crsBox->currentText());
  if (index >= 0 && index < static_cast<int>(systems_.size())) {
    areaLabel->setText(QStringLiteral("Area of use: ") + QString::fromStdString(systems_[index].areaName));
    okButton->setEnabled(true);
    return;
  }
  const std::string typed = crsBox->currentText().trimmed().toStdString();
  if (typed.empty()) {
    areaLabel->setText(systems_.empty()
                           ? QStringLiteral("No State Plane or UTM zone holds these corners: type an EPSG code.")
                           : QStringLiteral("Choose a grid or type an EPSG code."));
    okButton->setEnabled(false);
    return;
  }
  const GridCheck checked = check_(typed);
  areaLabel->setText(checked.crs
                         ? QString::fromStdString(checked.crs->Label() + ". Area of use: " + checked.crs->areaName)
                         : QString::fromStdString(checked.refusal));
  okButton->setEnabled(checked.crs.has_value());
}

CsvChoice CsvDialog::Choice() const {
  CsvChoice choice;
  const int index = crsBox->findText(crsBox->currentText());
  choice.crs = index >= 0 && index < static_cast<int>(systems_.size()) ? systems_[index].code
                                                                       : crsBox->currentText().trimmed().toStdString();
  choice.layout.columns = penzdButton->isChecked() ? CsvColumns::Penzd : CsvColumns::Pnezd;
  choice.layout.header = headerBox->isChecked();
  choice.collector = layoutBox->currentData().toString().toStdString();
  choice.namePrefix = prefixEdit->text().toStdString();
  return choice;
}

std::optional<CsvChoice> QtExportChoices::ChooseCsv(QWidget* parent, const GridOffer& offer, const CsvChoice& last,
                                                    const GridChecker& check) {
  CsvDialog dialog(offer, last, check, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

std::optional<std::size_t> QtExportChoices::ChooseUnit(QWidget* parent, const std::vector<GarminUnit>& units) {
  QStringList names;
  for (const GarminUnit& unit : units) names << QString::fromStdString(UnitName(unit));
  bool ok = false;
  const QString chosen = QInputDialog::getItem(parent, QStringLiteral("Send to GPS"),
                                               QStringLiteral("Send to which unit?"), names, 0, false, &ok);
  if (!ok) return std::nullopt;
  return static_cast<std::size_t>(names.indexOf(chosen));
}

std::optional<std::string> QtExportChoices::ChooseNamePrefix(QWidget* parent, const std::string& current) {
  bool ok = false;
  const QString prefix =
      QInputDialog::getText(parent, QStringLiteral("Waypoint name prefix"),
                            QStringLiteral("Put this before every waypoint name in GPX, KML and CSV files\n"
                                           "(PCX5 names hold six characters and take none; blank for no prefix):"),
                            QLineEdit::Normal, QString::fromStdString(current), &ok);
  if (!ok) return std::nullopt;
  return prefix.toStdString();
}

}  // namespace korvexa
