#include "tests/support/fake_services.h"

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
    if (journal_.onDefineDatumPair) journal_.onDefineDatumPair();
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
  void DrawTownship(const std::string& title) override {
    journal_.calls.push_back("lx2dxf " + title);
    if (journal_.onDrawTownship) journal_.onDrawTownship();
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
