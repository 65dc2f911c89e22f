// A window's control by its object name, the window's own name for it
// ("Check1", "mnuFileOpen", "Text1"): the tests reach the controls the way the
// window names them, not by its members.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace korvexa::testing {

// The child of `window` of type Control named `name`. Stops the test program
// when there is none, so that a renamed control cannot pass unnoticed.
template <typename Control>
Control* Child(const QObject& window, const char* name) {
  auto* control = window.findChild<Control*>(QLatin1String(name));
  if (control == nullptr) {
    qFatal("%s holds no %s named %s", qPrintable(window.objectName()), Control::staticMetaObject.className(), name);
  }
  return control;
}

}  // namespace korvexa::testing
