// Synthetic GCDB townships for fixtures and benchmarks.
//
// A township is a 13 x 13 grid of corners half a mile apart (section and
// quarter corners). Every grid row and every grid column is one chain of
// records ended by a " 999999" sentinel, so each corner appears twice: once
// in its east-west chain and once in its north-south chain, equal in columns
// 1 to 41 and different after them (the line codes name the chain).
#pragma once

#include <cstddef>
#include <string>

namespace korvexa::testing {

inline constexpr int kCornersPerSide = 13;
inline constexpr std::size_t kRecordsPerTownship = 2 * kCornersPerSide * kCornersPerSide;
inline constexpr std::size_t kCornersPerTownship = kCornersPerSide * kCornersPerSide;

struct TownshipLayout {
  double southLatitude = 35.0;   // degrees north of the south-east corner of the first township
  double eastLongitude = 106.5;  // degrees west of it
  int elevationFeet = 5000;      // of the south-east corner; rises to the west
};

// One record in the columns of a GCDB .LX line.
std::string LxLine(const std::string& pointId, double latitude, double westLongitude, int elevationFeet,
                   const std::string& reliability, const std::string& lineCodes);

// The text of a .LX file with two header lines and `townships` townships laid
// side by side, lines ended by CR LF.
std::string SyntheticLxText(std::size_t townships, const TownshipLayout& layout = {});

}  // namespace korvexa::testing
