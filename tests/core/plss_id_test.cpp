#include "core/plss_id.h"

#include <gtest/gtest.h>

namespace korvexa {
namespace {

struct Decoded {
  const char* code;
  const char* readable;
  const char* shortName;
};

class PlssIdNames : public testing::TestWithParam<Decoded> {};

TEST_P(PlssIdNames, DecodesToTheSurveyorsName) {
  const std::optional<PlssId> id = DecodePlssId(GetParam().code);
  ASSERT_TRUE(id);
  EXPECT_EQ(PlssReadableName(*id), GetParam().readable);
  EXPECT_EQ(PlssShortName(*id), GetParam().shortName);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PlssIdNames,
    testing::Values(Decoded{"UT260020S0010W0", "Utah, Salt Lake Meridian, T. 2 S., R. 1 W.", "T2SR1W"},
                    Decoded{" nm230122N0033E0 ", "New Mexico, New Mexico Principal Meridian, T. 12 1/2 N., R. 3 3/4 E.",
                            "T12.5NR3.75E"},
                    Decoded{"AK440101S0201W2", "Alaska, Kateel River Meridian, T. 10 1/4 S., R. 20 1/4 W., duplicate 2",
                            "T10.25SR20.25WD2"},
                    Decoded{"OH460010N0010E0", "Ohio, Meridian 46, T. 1 N., R. 1 E.", "T1NR1E"},
                    Decoded{"ZZ060010N0010E0", "ZZ, Sixth Principal Meridian, T. 1 N., R. 1 E.", "T1NR1E"}));

class PlssIdRefused : public testing::TestWithParam<const char*> {};

TEST_P(PlssIdRefused, IsNoPlssId) {
  EXPECT_FALSE(DecodePlssId(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Codes, PlssIdRefused,
                         testing::Values("", "UT260020S0010W", "UT260020S0010W00", "UT260020E0010W0", "UT260020S0010N0",
                                         "UT260024S0010W0", "1T260020S0010W0", "UTx60020S0010W0", "UT260020S0010W_"));

struct Query {
  const char* query;
  bool matches;
};

class PlssFilter : public testing::TestWithParam<Query> {};

TEST_P(PlssFilter, MatchesWhatAUserTypes) {
  const PlssId id = *DecodePlssId("UT260020S0010W0");
  EXPECT_EQ(PlssMatches(id, GetParam().query), GetParam().matches) << GetParam().query;
}

INSTANTIATE_TEST_SUITE_P(Queries, PlssFilter,
                         testing::Values(Query{"2S 1W", true}, Query{"T2S R1W", true}, Query{"t. 2 s., r. 1 w.", true},
                                         Query{"T2S", true}, Query{"", true}, Query{"  ", true},
                                         Query{"2S 11W", false}, Query{"2N 1W", false}, Query{"12S 1W", false},
                                         Query{"2S 1E", false}, Query{"UT260020S0010W0", true},
                                         Query{"ut2600", true}, Query{"salt lake", true}, Query{"Uintah", false}));

}  // namespace
}  // namespace korvexa
