#include "ui/convert/township_chooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/plss_id.h"
#include "ui/desktop/look.h"

namespace korvexa {
namespace {

QString ItemText(const PlssTownshipCount& township, const std::optional<PlssId>& id) {
  const QString name = id ? QString::fromStdString(PlssReadableName(*id)) : QStringLiteral("(not a PLSSID)");
  return QStringLiteral("%1  (%2, %3 %4)")
      .arg(name, QString::fromStdString(township.plssId))
      .arg(township.corners)
      .arg(township.corners == 1 ? QStringLiteral("corner") : QStringLiteral("corners"));
}

}  // namespace

TownshipChooserDialog::TownshipChooserDialog(const QString& file, const std::vector<PlssTownshipCount>& townships,
                                             const std::vector<std::string>& remembered, QWidget* parent)
    : QDialog(parent), filter_(Named(new QLineEdit(this), "Filter")), list_(Named(new QListWidget(this), "Townships")) {
  setWindowTitle(QStringLiteral("Choose townships - ") + file);
  filter_->setPlaceholderText(QStringLiteral("Filter: 2S 1W, T2S R1W or a PLSSID"));
  filter_->setClearButtonEnabled(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setUniformItemSizes(true);  // a state's thousands of rows lay out at once
  QListWidgetItem* firstChosen = nullptr;
  for (const PlssTownshipCount& township : townships) {
    const std::optional<PlssId> id = DecodePlssId(township.plssId);
    auto* item = new QListWidgetItem(ItemText(township, id), list_);
    item->setData(Qt::UserRole, QString::fromStdString(township.plssId));
    if (std::find(remembered.begin(), remembered.end(), township.plssId) != remembered.end()) {
      item->setSelected(true);
      if (!firstChosen) firstChosen = item;
    }
  }
  if (firstChosen) list_->scrollToItem(firstChosen);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(filter_, &QLineEdit::textChanged, this, &TownshipChooserDialog::Filter);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Townships of %1 (choose one or more):").arg(file), this));
  layout->addWidget(filter_);
  layout->addWidget(list_);
  layout->addWidget(buttons);
  resize(560, 480);
  filter_->setFocus();
}

std::vector<std::string> TownshipChooserDialog::Chosen() const {
  std::vector<std::string> chosen;
  for (int row = 0; row < list_->count(); ++row) {
    const QListWidgetItem* item = list_->item(row);
    if (item->isSelected()) chosen.push_back(item->data(Qt::UserRole).toString().toStdString());
  }
  return chosen;
}

void TownshipChooserDialog::Filter(const QString& query) {
  const std::string text = query.toStdString();
  for (int row = 0; row < list_->count(); ++row) {
    QListWidgetItem* item = list_->item(row);
    const std::optional<PlssId> id = DecodePlssId(item->data(Qt::UserRole).toString().toStdString());
    item->setHidden(id ? !PlssMatches(*id, text) : !item->text().contains(query, Qt::CaseInsensitive));
  }
}

std::optional<std::vector<std::string>> DialogTownshipChooser::Choose(QWidget* parent, const QString& file,
                                                                      const std::vector<PlssTownshipCount>& townships,
                                                                      const std::vector<std::string>& remembered) {
  TownshipChooserDialog dialog(file, townships, remembered, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> chosen = dialog.Chosen();
  if (chosen.empty()) return std::nullopt;
  return chosen;
}

}  // namespace korvexa
