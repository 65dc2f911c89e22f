// The point file layouts that survey field software imports, as its public
// import documentation gives them (the sources are cited in
// csv_layouts.cpp): the column order, a header row or none. Every layout
// takes the Description as CsvDescription writes it: at most 31 characters,
// no comma, no quotes.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "writers/csv_writer.h"

namespace korvexa {

struct CollectorLayout {
  std::string_view key;      // for settings and --layout: "carlson", "trimble", "magnet"
  std::string_view name;     // for the dialog: "Carlson SurvCE / SurvPC"
  std::string_view columns;  // the import format as the documentation names it
  CsvLayout layout;
};

// The layouts, in the order the dialog offers them.
std::span<const CollectorLayout> CollectorLayouts();

// The layout of `key`; nothing for any other key.
std::optional<CollectorLayout> CollectorLayoutOf(std::string_view key);

}  // namespace korvexa
