// The navigator's small panel beside the map: the receiver's state, the
// target corner, the distance and bearings to it, the position's accuracy,
// the corners visited, the Next and Follow buttons and the arrival radius.
// It only shows what it is given; the navigator (ui/navigate/navigator.h) decides.
#pragma once

#include <QString>
#include <QWidget>

class QAction;
class QDoubleSpinBox;
class QLabel;

namespace korvexa {

// The panel's texts; an empty one shows as a dash.
struct NavigationReadout {
  QString receiver;  // which receiver ("gpsd on localhost:2947")
  QString state;     // what it does ("No fix", why it cannot be read)
  QString target;
  QString distance;
  QString trueBearing;
  QString gridBearing;
  QString accuracy;
  QString visited;
};

class NavigationPanel : public QWidget {
  Q_OBJECT

 public:
  // `next` and `follow` are the navigator's actions, shown as buttons.
  NavigationPanel(QAction* next, QAction* follow, QWidget* parent = nullptr);

  void ShowReadout(const NavigationReadout& readout);
  // The radius within which a target counts as reached, US survey feet.
  void SetArrivalFeet(double feet);

  QLabel* receiver;
  QLabel* state;
  QLabel* target;
  QLabel* distance;
  QLabel* trueBearing;
  QLabel* gridBearing;
  QLabel* accuracy;
  QLabel* visited;
  QDoubleSpinBox* arrivalFeet;

 Q_SIGNALS:
  void arrivalFeetChanged(double feet);
};

}  // namespace korvexa
