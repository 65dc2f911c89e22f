// The chooser of the townships of a PLSS data set: every township by its
// readable name ("Utah, Salt Lake Meridian, T. 2 S., R. 1 W.") with its
// number of corners, a filter that narrows the list as the user types
// ("2S 1W", "T2S R1W", a PLSSID; core/plss_id.h PlssMatches), several
// townships chosen at once, those of the last time chosen already.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "transform/plss_layer.h"

class QLineEdit;
class QListWidget;

namespace korvexa {

class TownshipChooser {
 public:
  virtual ~TownshipChooser() = default;
  // The PLSSIDs the user chose among `townships` of the file `file`, in
  // list order, `remembered` chosen at the start; nothing when the user
  // cancelled or chose none.
  virtual std::optional<std::vector<std::string>> Choose(QWidget* parent, const QString& file,
                                                         const std::vector<PlssTownshipCount>& townships,
                                                         const std::vector<std::string>& remembered) = 0;
};

// The dialog: the filter ("Filter") over the list ("Townships"), OK and Cancel.
class TownshipChooserDialog : public QDialog {
  Q_OBJECT

 public:
  TownshipChooserDialog(const QString& file, const std::vector<PlssTownshipCount>& townships,
                        const std::vector<std::string>& remembered, QWidget* parent = nullptr);

  // The chosen PLSSIDs, in list order.
  std::vector<std::string> Chosen() const;

 private:
  void Filter(const QString& query);

  QLineEdit* filter_;
  QListWidget* list_;
};

class DialogTownshipChooser : public TownshipChooser {
 public:
  std::optional<std::vector<std::string>> Choose(QWidget* parent, const QString& file,
                                                 const std::vector<PlssTownshipCount>& townships,
                                                 const std::vector<std::string>& remembered) override;
};

}  // namespace korvexa
