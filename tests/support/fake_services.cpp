#include "tests/support/fake_services.h"

#include "tests/support/temp_folder.h"

namespace korvexa::testing {
namespace {

class IdentityTransform : public CoordinateTransform {
 public:
  void TransformPoint(double&, double&) const override {}
  void InverseTransformPoint(double&, double&) const override {}
};

class LoggingDatum : public DatumLibrary {
 public:
  explicit LoggingDatum(Journal& journal) : journal_(journal) {}
  std::unique_ptr<CoordinateTransform> DefineDatumPair() override {
    journal_.calls.push_back("define datum pair");
    if (journal_.onDefineDatumPair) journal_.onDefineDatumPair();
    return std::make_unique<IdentityTransform>();
  }

 private:
  Journal& journal_;
};

// A drawing that is done at once: the journal's outcome, with a line of text
// in the drawing's file when it is drawn.
class FinishedDrawing : public DrawingJob {
 public:
  explicit FinishedDrawing(DrawingOutcome outcome) : outcome_(std::move(outcome)) {}
  DrawingOutcome Wait() override { return outcome_; }

 private:
  DrawingOutcome outcome_;
};

class LoggingConverters : public Converters {
 public:
  explicit LoggingConverters(Journal& journal) : journal_(journal) {}
  void ConvertLineEnds(const std::string& fName) override {
    journal_.calls.push_back("todos " + fName);
    if (journal_.onConvertLineEnds) journal_.onConvertLineEnds();
  }
  std::unique_ptr<DrawingJob> StartDrawing(const std::string& fName, const std::string& drawingName) override {
    journal_.calls.push_back("lx2dxf " + fName);
    if (journal_.onDrawTownship) journal_.onDrawTownship();
    if (journal_.drawing.drawn) WriteBytes(drawingName, "drawing of " + fName);
    return std::make_unique<FinishedDrawing>(journal_.drawing);
  }

 private:
  Journal& journal_;
};

}  // namespace

Services FakeServices(Journal* journal) {
  // Without a journal of the test's own, the calls go to one nobody reads.
  static Journal unread;
  Journal& calls = journal != nullptr ? *journal : unread;
  Services services;
  services.clock = std::make_unique<FrozenClock>(kDecember6);
  services.datum = std::make_unique<LoggingDatum>(calls);
  services.converters = std::make_unique<LoggingConverters>(calls);
  return services;
}

}  // namespace korvexa::testing
