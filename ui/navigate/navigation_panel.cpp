#include "ui/navigate/navigation_panel.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/desktop/look.h"

namespace korvexa {
namespace {

constexpr double kSmallestArrivalFeet = 1;
constexpr double kLargestArrivalFeet = 1000;

QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = Named(new QLabel(parent), name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QToolButton* ActionButton(QAction* action, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setDefaultAction(action);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

void SetText(QLabel* label, const QString& text) {
  label->setText(text.isEmpty() ? QStringLiteral("\u2014") : text);
}

}  // namespace

NavigationPanel::NavigationPanel(QAction* next, QAction* follow, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("navigationPanel"));
  receiver = ValueLabel(this, "receiver");
  receiver->setWordWrap(true);
  state = ValueLabel(this, "receiverState");
  state->setWordWrap(true);
  target = ValueLabel(this, "target");
  QFont bold = target->font();
  bold.setBold(true);
  target->setFont(bold);
  distance = ValueLabel(this, "distance");
  distance->setFont(bold);
  trueBearing = ValueLabel(this, "trueBearing");
  gridBearing = ValueLabel(this, "gridBearing");
  accuracy = ValueLabel(this, "accuracy");
  visited = ValueLabel(this, "visited");
  arrivalFeet = Named(new QDoubleSpinBox(this), "arrivalFeet");
  arrivalFeet->setRange(kSmallestArrivalFeet, kLargestArrivalFeet);
  arrivalFeet->setDecimals(0);
  arrivalFeet->setSuffix(QStringLiteral(" ft"));
  connect(arrivalFeet, &QDoubleSpinBox::valueChanged, this, &NavigationPanel::arrivalFeetChanged);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Receiver:"), receiver);
  form->addRow(QStringLiteral("State:"), state);
  form->addRow(QStringLiteral("Target:"), target);
  form->addRow(QStringLiteral("Distance:"), distance);
  form->addRow(QStringLiteral("Bearing:"), trueBearing);
  form->addRow(QStringLiteral("Grid bearing:"), gridBearing);
  form->addRow(QStringLiteral("Accuracy:"), accuracy);
  form->addRow(QStringLiteral("Visited:"), visited);
  form->addRow(QStringLiteral("Reached within:"), arrivalFeet);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ActionButton(next, this));
  buttons->addWidget(ActionButton(follow, this));
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  layout->addStretch(1);
  ShowReadout({});
}

void NavigationPanel::ShowReadout(const NavigationReadout& readout) {
  SetText(receiver, readout.receiver);
  SetText(state, readout.state);
  SetText(target, readout.target);
  SetText(distance, readout.distance);
  SetText(trueBearing, readout.trueBearing);
  SetText(gridBearing, readout.gridBearing);
  SetText(accuracy, readout.accuracy);
  SetText(visited, readout.visited);
}

void NavigationPanel::SetArrivalFeet(double feet) {
  const QSignalBlocker quiet(arrivalFeet);
  arrivalFeet->setValue(feet);
}

}  // namespace korvexa
