#include "tests/ui/ui_fakes.h"

namespace korvexa::testing {
std::optional<QString> ScriptedFileDialog::ChooseFile(QWidget*) {
  ++calls_;
  const QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
  if (answer.isNull()) return std::nullopt;
  return answer;
}

void RecordingMessageSink::Show(QWidget*, MessageKind kind, const QString& title, const QString& text) {
  messages.push_back({kind, title, text});
}

WindowPlatform FakePlatform::Platform() const {
  return {dialog,
          sink,
          {std::make_shared<EmptyRegistry>(), [](const std::string&) { return false; },
           [](const std::string&) { return false; }}};
}

}  // namespace korvexa::testing
