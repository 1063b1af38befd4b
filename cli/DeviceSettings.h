#pragma once
// A device's settings as the parameter maps know them: one generation's
// parameters in map order, codes beyond the map kept after them. Only the
// values that were given (by the device, a file or the command line) are
// written, so a short template never blanks what it does not name.

#include <set>
#include <string>

#include "codec/PacketParser.h"
#include "model/DataNodeHandler.h"

class TDeviceSettings {
 public:
  explicit TDeviceSettings(int generation);

  // The main-registry items of a transfer packet or a settings file group;
  // the panel-type and SMS-language lists are the device's own and are left.
  void Store(const TPacketArray& packets);
  // One value; false (with the reason) for a code that is never written.
  bool Set(const std::string& code, const std::string& value, std::string& error);
  bool Has(const std::string& code) const;
  std::string Value(const std::string& code) const;
  // The given values of the groups "0", "1", "3", "4", one packet each, in
  // map order: what a write sends and a file holds.
  TPacketArray Groups() const;

  // The parameter's name in the maps ("AccountName"), or empty.
  static std::string NameOf(const std::string& code);
  // A code of either map that is written to a device (not a status or
  // display-only code).
  static bool IsWritable(const std::string& code);

 private:
  TDataNodeHandler FParams;
  std::set<std::string> FGiven;
};
