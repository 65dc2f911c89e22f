// Stand-ins for the desktop in the window tests: a file dialog that answers
// from a script, a message sink that records instead of blocking, and
// conversion services that log what they were asked to do.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clock.h"
#include "message_sink.h"
#include "services.h"
#include "window_platform.h"

namespace korvexa::testing {

// The clock of the PCX5 golden file.
inline constexpr ClockReading kDecember6 = {{2026, 12, 6, 14, 3, 27}, {2026, 12, 6, 21, 3, 27}};

class ScriptedFileDialog : public OpenFileDialog {
 public:
  // The next ChooseFile returns `path`; a null QString means the user cancels.
  void Answer(const QString& path) { answers_.append(path); }
  int calls() const { return calls_; }
  std::optional<QString> ChooseFile(QWidget* parent) override;

 private:
  QStringList answers_;
  int calls_ = 0;
};

struct Message {
  MessageKind kind;
  QString title;
  QString text;
};

class RecordingMessageSink : public MessageSink {
 public:
  void Show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) override;
  std::vector<Message> messages;
};

// What the fake services were asked to do, in order ("todos t12n.lx",
// "define datum pair", "lx2dxf t12n.lx").
struct Journal {
  std::vector<std::string> calls;
  std::function<void()> onConvertLineEnds;  // runs inside ConvertLineEnds
};

// A frozen clock, and with `journal` an identity transformation and
// converters that only log.
Services FakeServices(Journal* journal);

// The scripted dialog, the recording sink and an empty registry.
struct FakePlatform {
  std::shared_ptr<ScriptedFileDialog> dialog = std::make_shared<ScriptedFileDialog>();
  std::shared_ptr<RecordingMessageSink> sink = std::make_shared<RecordingMessageSink>();
  WindowPlatform Platform() const;
};

}  // namespace korvexa::testing
