// The one exception type of Korvexa. Messages name the file, the point or the
// option that failed and say why, so they can be shown to the user as they are.
#pragma once

#include <stdexcept>
#include <string>

namespace korvexa {

class KorvexaError : public std::runtime_error {
 public:
  explicit KorvexaError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace korvexa
