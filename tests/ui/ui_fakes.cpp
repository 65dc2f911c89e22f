#include "ui_fakes.h"

namespace korvexa::testing {
namespace {

class IdentityTransform : public CoordinateTransform {
 public:
  void TransformPoint(double&, double&) const override {}
};

class LoggingDatum : public DatumLibrary {
 public:
  explicit LoggingDatum(Journal& journal) : journal_(journal) {}
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override {
    journal_.calls.push_back("define datum pair");
    return std::make_unique<IdentityTransform>();
  }

 private:
  Journal& journal_;
};

class LoggingConverters : public Converters {
 public:
  explicit LoggingConverters(Journal& journal) : journal_(journal) {}
  void ConvertLineEnds(const std::string& title) override {
    journal_.calls.push_back("todos " + title);
    if (journal_.onConvertLineEnds) journal_.onConvertLineEnds();
  }
  void DrawTownship(const std::string& title) override { journal_.calls.push_back("lx2dxf " + title); }

 private:
  Journal& journal_;
};

}  // namespace

std::optional<QString> ScriptedFileDialog::ChooseFile(QWidget*) {
  ++calls_;
  const QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
  if (answer.isNull()) return std::nullopt;
  return answer;
}

void RecordingMessageSink::Show(QWidget*, MessageKind kind, const QString& title, const QString& text) {
  messages.push_back({kind, title, text});
}

Services FakeServices(Journal* journal) {
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  if (journal != nullptr) {
    services.datum = std::make_unique<LoggingDatum>(*journal);
    services.converters = std::make_unique<LoggingConverters>(*journal);
  }
  return services;
}

WindowPlatform FakePlatform::Platform() const {
  return {dialog,
          sink,
          {std::make_shared<EmptyRegistry>(), [](const std::string&) { return false; },
           [](const std::string&) { return false; }}};
}

}  // namespace korvexa::testing
