// Where the navigator reads positions from: a receiver on a serial port, gpsd,
// or a recorded NMEA log. One line of text names each, the same on the
// command line (korvexa --gps TEXT) and in the remembered settings:
//
//   serial:DEVICE[@BAUD]     serial:/dev/ttyUSB0@9600 (4800 baud when not given)
//   gpsd[:HOST[:PORT]]       gpsd, gpsd:survey-pc, gpsd:192.168.1.5:2948, gpsd:[::1]:2947
//   file:LOG                 file:walk.nmea (replayed at the pace it was recorded)
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korvexa {

enum class ReceiverKind { Serial, Gpsd, Log };

// The serial speeds a receiver is offered at, in baud.
inline constexpr std::array<int, 6> kSerialSpeeds = {4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr int kNmeaSerialSpeed = 4800;  // NMEA 0183's own
inline constexpr int kGpsdPort = 2947;

struct ReceiverChoice {
  ReceiverKind kind = ReceiverKind::Gpsd;
  std::string device;              // Serial: "/dev/ttyUSB0"
  int baud = kNmeaSerialSpeed;     // Serial: one of kSerialSpeeds
  std::string host = "localhost";  // Gpsd: a name or an address (IPv6 without brackets)
  int port = kGpsdPort;            // Gpsd: 1 to 65535
  std::string log;                 // Log: the file's path

  friend bool operator==(const ReceiverChoice&, const ReceiverChoice&) = default;
};

// The choice `text` names (see above). Throws KorvexaError naming the text
// and what is wrong: an unknown kind, an empty device or log, a speed not in
// kSerialSpeeds, a port that is not a number from 1 to 65535.
ReceiverChoice ParseReceiverChoice(std::string_view text);

// The text ParseReceiverChoice reads back as `choice`; only the fields of its
// kind count, and defaults are left out ("gpsd", "serial:/dev/ttyUSB0").
std::string ReceiverChoiceText(const ReceiverChoice& choice);

// For people: "/dev/ttyUSB0 at 9600 baud", "gpsd on localhost:2947", "the
// log walk.nmea" (its name without the folder).
std::string DescribeReceiver(const ReceiverChoice& choice);

}  // namespace korvexa
