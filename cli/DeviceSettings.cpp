#include "cli/DeviceSettings.h"

#include "model/ParameterMaps.h"

namespace {

const TParameterRow* RowOf(const std::string& code) {
  for (const auto* rows : {&StatusRows(), &V1Rows(), &V2Rows()})
    for (const TParameterRow& row : *rows)
      if (row.Code == code) return &row;
  return nullptr;
}

}  // namespace

TDeviceSettings::TDeviceSettings(int generation) {
  for (const auto* rows : {&StatusRows(), generation == 1 ? &V1Rows() : &V2Rows()})
    for (const TParameterRow& row : *rows)
      TDataNode::CreatePlain(&FParams, row.Name, row.Code, row.InitialValue,
                             row.Kind == TBindingKind::Display);
}

void TDeviceSettings::Store(const TPacketArray& packets) {
  for (const TPacket& packet : packets) {
    if (RouteOf(packet) != TPacketRoute::MainRegistry) continue;
    for (const TPacketData& item : packet.Data) {
      FParams.SetByCode(item.Code, item.Value);
      FGiven.insert(item.Code);
    }
  }
}

bool TDeviceSettings::Set(const std::string& code, const std::string& value, std::string& error) {
  const TDataNode* node = FParams.Find(code);
  if ((node && node->ReadOnly) || (!node && RowOf(code) && !IsWritable(code))) {
    error = code + " is shown by the device, never written";
    return false;
  }
  if (value.find_first_of("\r\n") != std::string::npos) {
    error = "a value of " + code + " holds a line break";
    return false;
  }
  FParams.SetByCode(code, value);
  FGiven.insert(code);
  return true;
}

bool TDeviceSettings::Has(const std::string& code) const {
  return FGiven.count(code) > 0;
}

std::string TDeviceSettings::Value(const std::string& code) const {
  const TDataNode* node = FParams.Find(code);
  return node ? node->GetValue() : std::string();
}

TPacketArray TDeviceSettings::Groups() const {
  TPacketArray groups;
  for (char group : kSettingsGroups) {
    TPacket packet;
    packet.Command = "F3";
    for (const TPacketData& item : Gather(FParams, group))
      if (Has(item.Code)) packet.Data.push_back(item);
    groups.push_back(packet);
  }
  return groups;
}

std::string TDeviceSettings::NameOf(const std::string& code) {
  const TParameterRow* row = RowOf(code);
  return row ? row->Name : std::string();
}

bool TDeviceSettings::IsWritable(const std::string& code) {
  const TParameterRow* row = RowOf(code);
  return row && row->Kind != TBindingKind::Display;
}
