// Form2, the help window: the fixed questions and answers in one editable,
// vertically scrolling text box (object name Text1), and an "Ok" button
// (Command1) that closes the window, as Esc does.
// Nothing reads the text back; each new window shows the stored text again.
// The window deletes itself when closed.
#pragma once

#include <QWidget>

namespace korvexa {

class Form2 : public QWidget {
  Q_OBJECT

 public:
  explicit Form2(QWidget* parent = nullptr);
};

}  // namespace korvexa
