#pragma once
// The one table of parameter codes of both device generations, as plain data:
// which parameters each generation has, in registry order, and what each is
// bound to. The window's binding (app/ParameterBinding) turns the rows into
// nodes on its editors; everything here is testable without widgets.
//
// A code's first character is its group: "0", "1", "3", "4" are settings
// (written to the device and saved, in that order), "6" the panel-type list
// and "8" the SMS-language list the device sends.

#include <string>
#include <vector>

#include "codec/PacketParser.h"
#include "model/DataNodeHandler.h"

enum class TBindingKind {
  Plain,      // stored in the node
  Display,    // shown on a control, read-only
  Control,    // an edit or spin edit of the window, by the window's text rules
  Accessors,  // a selector frame's getter and setter
  NodeBound,  // a frame's accessors that find their place from the node's code
};

struct TParameterRow {
  std::string Code;
  std::string Name;
  TBindingKind Kind;
  // The component name of the control or frame ("StatusDevPanel",
  // "PanelTypeFra2", "notificationsFrame1"); empty for a plain node.
  std::string Editor;
  // Which accessor pair of the frame ("PhoneNumber" stands for
  // GetPhoneNumber/SetPhoneNumber); empty unless node-bound.
  std::string Accessor;
  std::string InitialValue;  // plain nodes only
};

// "000" to "002", the status the device reports; first in both generations.
const std::vector<TParameterRow>& StatusRows();
// "VX8 v1.x": 28 rows after the status rows.
const std::vector<TParameterRow>& V1Rows();
// "VX8 v2.x": 40 rows after the status rows.
const std::vector<TParameterRow>& V2Rows();

// The groups a write or a save sends, in this order, numbered 1 to 4.
constexpr char kSettingsGroups[] = {'0', '1', '3', '4'};

// The items of one group for a write or a save: registry order, read-only
// nodes left out; possibly empty.
TPacketDataArray Gather(const TDataNodeHandler& registry, char group);

// Where the items of a received packet go.
enum class TPacketRoute { MainRegistry, PanelTypes, SmsLanguages, Dropped };
// "F1": the main registry. "F3": decided by the first character of the first
// item's code alone ("0" to "5" the main registry, "6" the panel types, "8"
// the SMS languages). Anything else, or "F3" without items: dropped.
TPacketRoute RouteOf(const TPacket& packet);
