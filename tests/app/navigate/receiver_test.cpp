// What the navigator reads from a receiver besides Qt's positions: which
// lines are sentences, times of day, the GST accuracy, the receiver named on
// the command line, and what it says about a receiver over time.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/navigate/nmea_line.h"
#include "app/navigate/receiver_choice.h"
#include "app/navigate/receiver_watch.h"
#include "core/korvexa_error.h"

namespace korvexa {
namespace {

struct LineCase {
  const char* name;
  const char* line;
  NmeaLineKind kind;
};

void PrintTo(const LineCase& c, std::ostream* out) {
  *out << c.name;
}

class NmeaLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(NmeaLineTest, IsClassified) {
  EXPECT_EQ(ClassifyNmeaLine(GetParam().line), GetParam().kind);
}

// Sentences of the NMEA 0183 examples in gpsd's documentation of NMEA.
INSTANTIATE_TEST_SUITE_P(
    Lines, NmeaLineTest,
    ::testing::Values(
        LineCase{"Good", "$GPGGA,172814.0,3723.46587704,N,12202.26957864,W,2,6,1.2,18.893,M,-25.669,M,2.0,0031*4F\r\n",
                 NmeaLineKind::Sentence},
        LineCase{"LowerCaseHex",
                 "$GPGGA,172814.0,3723.46587704,N,12202.26957864,W,2,6,1.2,18.893,M,-25.669,M,2.0,0031*4f",
                 NmeaLineKind::Sentence},
        LineCase{"GoodWithoutLineEnd", "$GPGSA,A,3,19,28,14,18,27,22,31,39,,,,,1.7,1.0,1.3*34", NmeaLineKind::Sentence},
        LineCase{"OneBitOff", "$GPGSA,A,3,19,28,14,18,27,22,31,39,,,,,1.7,1.0,1.3*35", NmeaLineKind::Garbage},
        LineCase{"NoChecksum", "$GPGSA,A,3,19,28,14,18,27,22,31,39,,,,,1.7,1.0,1.3", NmeaLineKind::Garbage},
        LineCase{"ChecksumNotHex", "$GPGSA,A,3,19,28,14,18,27,22,31,39,,,,,1.7,1.0,1.3*G4", NmeaLineKind::Garbage},
        LineCase{"NoiseOfAWrongSpeed", "\x8f\x13x\xf2$G\xa9PRMC,,", NmeaLineKind::Garbage},
        LineCase{"GpsdReport", "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n", NmeaLineKind::Other},
        LineCase{"Blank", " \r\n", NmeaLineKind::Other}),
    [](const auto& info) { return std::string(info.param.name); });

// Whether the navigator takes `sentence` as a fix, its accuracy or its
// position (the checksum is judged before, by ClassifyNmeaLine).
bool Taken(const std::string& sentence) {
  const std::string_view type = NmeaSentenceType(sentence);
  if (type == "GST") return GstHorizontalError(sentence).has_value();
  if (type == "GGA") return ReadGga(sentence).has_value() && GgaHdop(sentence).has_value();
  return NmeaPositionInRange(sentence);
}

struct AbsurdCase {
  const char* name;
  std::string sentence;
  bool taken;
};

void PrintTo(const AbsurdCase& c, std::ostream* out) {
  *out << c.name;
}

class AbsurdValueTest : public ::testing::TestWithParam<AbsurdCase> {};

TEST_P(AbsurdValueTest, RefusesTheSentenceRatherThanShowAFix) {
  EXPECT_EQ(Taken(GetParam().sentence), GetParam().taken);
}

const std::string kGga = "$GPGGA,172814.0,3723.46587704,N,12202.26957864,W,2,6,1.2,";

INSTANTIATE_TEST_SUITE_P(
    Sentences, AbsurdValueTest,
    ::testing::Values(AbsurdCase{"SaneGga", kGga + "18.893,M,-25.669,M,2.0,0031", true},
                      AbsurdCase{"AltitudeOf309Digits", kGga + std::string(309, '9') + ",M,-25.669,M,,", false},
                      AbsurdCase{"BelowAnyShore", kGga + "-5000,M,-25.669,M,,", false},
                      AbsurdCase{"HdopOfAMillion", "$GPGGA,172814.0,3723.4658,N,12202.2695,W,1,6,1000000,18,M,,M,,",
                                 false},
                      AbsurdCase{"MinutesOf99", "$GPGGA,172814.0,3799.9999,N,12202.2695,W,1,6,1.2,18,M,,M,,", false},
                      AbsurdCase{"SignedDegrees", "$GPGGA,172814.0,-123.4658,N,12202.2695,W,1,6,1.2,18,M,,M,,", false},
                      AbsurdCase{"GstOf1e20Metres", "$GPGST,172814.0,0.006,100000000000000000000,0.020,273.6,"
                                                    "100000000000000000000,0.020,0.031",
                                 false},
                      AbsurdCase{"SaneRmc", "$GPRMC,172814.0,A,3723.4658,N,12202.2695,W,0.0,0.0,090126,,", true},
                      AbsurdCase{"RmcWithoutAFix", "$GPRMC,172814.0,V,,,,,,,090126,,", true},
                      AbsurdCase{"RmcMinutesOf99", "$GPRMC,172814.0,A,3723.4658,N,12299.9999,W,0.0,0.0,090126,,",
                                 false},
                      AbsurdCase{"GllBeyondThePole", "$GPGLL,9123.4658,N,12202.2695,W,172814.0,A", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NmeaLineTest, FieldsCountFromTheAddressAndStopAtTheChecksum) {
  const char* gst = "$GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031*6A";
  EXPECT_EQ(NmeaSentenceType(gst), "GST");
  EXPECT_EQ(NmeaField(gst, 8), "0.031");
  EXPECT_EQ(NmeaField(gst, 9), "");
  EXPECT_NEAR(*GstHorizontalError(gst), 0.0304795, 1e-6);  // hypot(0.023, 0.020)
  EXPECT_FALSE(GstHorizontalError("$GPGST,172814.0,0.006,0.023,0.020,273.6,,0.020,0.031*45"));
  EXPECT_FALSE(GgaHdop("$GPGGA,172814.0,,,,,0,00,,,M,,M,,*71"));
}

struct TimeCase {
  const char* field;
  std::optional<int> milliseconds;
};

class NmeaTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(NmeaTimeTest, IsReadAsTheTimeOfDay) {
  EXPECT_EQ(NmeaTimeOfDay(GetParam().field), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(Times, NmeaTimeTest,
                         ::testing::Values(TimeCase{"210300", 75780000}, TimeCase{"210300.5", 75780500},
                                           TimeCase{"235959.999", 86399999}, TimeCase{"210300.1239", 75780123},
                                           TimeCase{"240000", std::nullopt}, TimeCase{"216000", std::nullopt},
                                           TimeCase{"235960", std::nullopt}, TimeCase{"21030", std::nullopt},
                                           TimeCase{"2103a0", std::nullopt}, TimeCase{"210300.", 75780000},
                                           TimeCase{"210300.-1", std::nullopt}, TimeCase{"", std::nullopt}));

// As read: DescribeReceiver names every field that counts.
struct ChoiceCase {
  const char* text;
  const char* described;
  const char* written;  // as ReceiverChoiceText writes it back
};

class ReceiverChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ReceiverChoiceTest, IsReadAndWrittenBack) {
  const ChoiceCase& c = GetParam();
  const ReceiverChoice choice = ParseReceiverChoice(c.text);
  EXPECT_EQ(DescribeReceiver(choice), c.described);
  EXPECT_EQ(ReceiverChoiceText(choice), c.written);
  EXPECT_EQ(ParseReceiverChoice(c.written), choice);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReceiverChoiceTest,
    ::testing::Values(ChoiceCase{"serial:/dev/ttyUSB0@9600", "/dev/ttyUSB0 at 9600 baud", "serial:/dev/ttyUSB0@9600"},
                      ChoiceCase{"serial:/dev/rfcomm0", "/dev/rfcomm0 at 4800 baud", "serial:/dev/rfcomm0"},
                      ChoiceCase{"serial:/dev/ttyACM0@4800", "/dev/ttyACM0 at 4800 baud", "serial:/dev/ttyACM0"},
                      ChoiceCase{"gpsd", "gpsd on localhost:2947", "gpsd"},
                      ChoiceCase{"gpsd:survey-pc", "gpsd on survey-pc:2947", "gpsd:survey-pc"},
                      ChoiceCase{"gpsd:10.0.0.5:2948", "gpsd on 10.0.0.5:2948", "gpsd:10.0.0.5:2948"},
                      ChoiceCase{"gpsd:[::1]:2947", "gpsd on [::1]:2947", "gpsd:[::1]"},
                      ChoiceCase{"file:/crew/walk 2.nmea", "the log walk 2.nmea", "file:/crew/walk 2.nmea"}));

class UnreadableChoiceTest : public ::testing::TestWithParam<const char*> {};

TEST_P(UnreadableChoiceTest, IsRefusedNamingTheText) {
  try {
    ParseReceiverChoice(GetParam());
    FAIL() << "accepted";
  } catch (const KorvexaError& error) {
    EXPECT_NE(std::string(error.what()).find(std::string("\"") + GetParam() + "\""), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, UnreadableChoiceTest,
                         ::testing::Values("serial:", "serial:@9600", "serial:/dev/ttyUSB0@9601",
                                           "serial:/dev/ttyUSB0@fast", "gpsd:", "gpsd:host:0", "gpsd:host:65536",
                                           "gpsd:host:", "gpsd:[::1", "gpsd:[::1]x", "gpsdx", "file:", "usb:/dev/x",
                                           ""));

// What the watch says after a history of events, asked at a time.
struct Event {
  enum What { Sentence, Garbage, Fix, Ended, Failure } what;
  double at;
};

struct WatchCase {
  const char* name;
  std::vector<Event> events;
  double askedAt;
  ReceiverState state;
  int seconds;
};

void PrintTo(const WatchCase& c, std::ostream* out) {
  *out << c.name;
}

class ReceiverWatchTest : public ::testing::TestWithParam<WatchCase> {};

TEST_P(ReceiverWatchTest, SaysWhatTheReceiverDoes) {
  const WatchCase& c = GetParam();
  ReceiverWatch watch;
  watch.Start(100);
  for (const Event& event : c.events) {
    switch (event.what) {
      case Event::Sentence:
        watch.HeardSentence(event.at);
        break;
      case Event::Garbage:
        watch.HeardGarbage(event.at);
        break;
      case Event::Fix:
        watch.HeardFix(event.at);
        break;
      case Event::Ended:
        watch.LogEnded();
        break;
      case Event::Failure:
        watch.Failed("Cannot open /dev/ttyUSB0: Permission denied");
        break;
    }
  }
  const ReceiverStatus status = watch.Status(c.askedAt);
  EXPECT_EQ(status.state, c.state);
  EXPECT_EQ(status.seconds, c.seconds);
  EXPECT_EQ(watch.PositionCurrent(c.askedAt), c.state == ReceiverState::Fix);
}

INSTANTIATE_TEST_SUITE_P(
    Histories, ReceiverWatchTest,
    ::testing::Values(
        WatchCase{"NothingYet", {}, 109.9, ReceiverState::Waiting, 0},
        WatchCase{"NothingForTenSeconds", {}, 110, ReceiverState::Silent, 10},
        WatchCase{"FreshFix", {{Event::Fix, 101}}, 105.9, ReceiverState::Fix, 0},
        WatchCase{"FixFiveSecondsOld", {{Event::Fix, 101}, {Event::Sentence, 105}}, 106, ReceiverState::NoFix, 0},
        WatchCase{"SilentAfterAFix", {{Event::Fix, 101}}, 112.5, ReceiverState::Silent, 11},
        WatchCase{"OnlyNoise", {{Event::Garbage, 105}, {Event::Garbage, 109}}, 110, ReceiverState::Unreadable, 10},
        WatchCase{
            "NoiseAfterSentences", {{Event::Sentence, 103}, {Event::Garbage, 113}}, 113, ReceiverState::Unreadable, 10},
        WatchCase{"LogEndedWhileTheFixIsFresh", {{Event::Fix, 101}, {Event::Ended, 101}}, 102, ReceiverState::Fix, 0},
        WatchCase{"LogEndedAndTheFixAged", {{Event::Fix, 101}, {Event::Ended, 101}}, 130, ReceiverState::Ended, 0},
        WatchCase{"FailedDespiteAFreshFix", {{Event::Fix, 101}, {Event::Failure, 101}}, 102, ReceiverState::Failed, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReceiverWatchTest, StoppedIsOffAndStartingAgainForgets) {
  ReceiverWatch watch;
  watch.Start(0);
  watch.HeardFix(1);
  watch.Failed("gone");
  watch.Stop();
  EXPECT_EQ(watch.Status(2).state, ReceiverState::Off);
  watch.Start(3);
  EXPECT_EQ(watch.Status(4).state, ReceiverState::Waiting);
}

}  // namespace
}  // namespace korvexa
