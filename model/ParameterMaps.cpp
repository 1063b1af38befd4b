#include "model/ParameterMaps.h"

namespace {

using K = TBindingKind;

std::vector<TParameterRow> Numbered(const char* first, int count, const std::string& name,
                                    const char* editor, const char* accessor) {
  std::vector<TParameterRow> rows;
  const int start = std::stoi(first);
  for (int i = 0; i < count; ++i)
    rows.push_back({std::to_string(start + i), name, K::NodeBound, editor, accessor, ""});
  return rows;
}

std::vector<TParameterRow> Joined(std::initializer_list<std::vector<TParameterRow>> parts) {
  std::vector<TParameterRow> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace

const std::vector<TParameterRow>& StatusRows() {
  static const std::vector<TParameterRow> rows = {
      {"000", "Dev", K::Display, "StatusDevPanel", "", ""},
      {"001", "SerNr", K::Display, "StatusSNPanel", "", ""},
      {"002", "VerNr", K::Display, "StatusVerPanel", "", ""},
  };
  return rows;
}

const std::vector<TParameterRow>& V1Rows() {
  static const std::vector<TParameterRow> rows = Joined({
      {
          {"010", "AccountNr", K::Plain, "", "", "0000"},
          {"011", "SimCardPin", K::Display, "SimCardPinEdt", "", ""},
          {"012", "AccessCode", K::Control, "AccessCodeEdt", "", ""},
          {"013", "PanelType", K::Accessors, "PanelTypeFra2", "", ""},
          {"016", "TestTime", K::Control, "TestTimeSpn", "", ""},
          {"025", "PgmMode", K::Accessors, "PGMModeFra2", "", ""},
          {"026", "SmsLanguage", K::Accessors, "SmsLanguageFrm1", "", ""},
          {"090", "SmsPhoneNr1", K::NodeBound, "TelephonesForReportingFra", "PhoneNumber", ""},
          {"091", "SmsPhoneNr2", K::NodeBound, "TelephonesForReportingFra", "PhoneNumber", ""},
          {"092", "SmsPhoneNr3", K::NodeBound, "TelephonesForReportingFra", "PhoneNumber", ""},
          {"093", "SmsPhoneNr4", K::NodeBound, "TelephonesForReportingFra", "PhoneNumber", ""},
          {"094", "P1Data", K::NodeBound, "TelephonesForReportingFra", "ReportFlags", ""},
          {"095", "P2Data", K::NodeBound, "TelephonesForReportingFra", "ReportFlags", ""},
          {"096", "P3Data", K::NodeBound, "TelephonesForReportingFra", "ReportFlags", ""},
          {"097", "P3Data", K::NodeBound, "TelephonesForReportingFra", "ReportFlags", ""},
          {"100", "AccountName", K::Control, "AccountNameEdt", "", ""},
      },
      Numbered("300", 6, "AlarmText", "SMSTextFra", "AlarmText"),
      Numbered("400", 6, "RestoreText", "SMSTextFra", "RestoreText"),
  });
  return rows;
}

const std::vector<TParameterRow>& V2Rows() {
  static const std::vector<TParameterRow> rows = Joined({
      {
          {"010", "AccountNr", K::Plain, "", "", "0000"},
          {"011", "SimCardPin", K::Display, "SimCardPinEdt", "", ""},
          {"012", "AccessCode", K::Control, "AccessCodeEd1", "", ""},
          {"013", "PanelType", K::Accessors, "PanelTypeFra1", "", ""},
          {"016", "TestTime", K::Control, "TestTimeSp1", "", ""},
          {"025", "PgmMode", K::Accessors, "PGMModeFra1", "", ""},
          {"026", "SmsLanguage", K::Accessors, "SmsLanguageFrm2", "", ""},
          {"027", "Call Nr.", K::Control, "callTimesSpn", "", ""},
          {"090", "SmsPhoneNr1", K::NodeBound, "notificationsFrame1", "PhoneNumber", ""},
          {"091", "SmsPhoneNr2", K::NodeBound, "notificationsFrame1", "PhoneNumber", ""},
          {"092", "SmsPhoneNr3", K::NodeBound, "notificationsFrame1", "PhoneNumber", ""},
          {"093", "SmsPhoneNr4", K::NodeBound, "notificationsFrame1", "PhoneNumber", ""},
          {"098", "ACK", K::NodeBound, "notificationsFrame1", "AckFlags", ""},
          {"100", "AccountName", K::Control, "AccountNameEd2", "", ""},
      },
      Numbered("300", 7, "zone", "notificationsFrame1", "EventText"),
      {
          {"350", "IN1_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"351", "IN2_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"352", "IN3_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"353", "IN4_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"354", "MCI_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"355", "LP_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"356", "Test_Event", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
      },
      Numbered("400", 6, "zone", "notificationsFrame1", "RestoreText"),
      {
          {"450", "IN1_Restore", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"451", "IN2_Restore", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"452", "IN3_Restore", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"453", "IN4_Restore", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"454", "MCI_Restore", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
          {"455", "LP_Restore", K::NodeBound, "notificationsFrame1", "NotificationFlags", ""},
      },
  });
  return rows;
}

TPacketDataArray Gather(const TDataNodeHandler& registry, char group) {
  TPacketDataArray items;
  for (int i = 0; i < registry.Count(); ++i) {
    const TDataNode* node = registry.NodeAt(i);
    if (node->Code.empty() || node->Code[0] != group || node->ReadOnly) continue;
    items.push_back({node->Code, node->GetValue()});
  }
  return items;
}

TPacketRoute RouteOf(const TPacket& packet) {
  if (packet.Command == "F1") return TPacketRoute::MainRegistry;
  if (packet.Command != "F3" || packet.Data.empty() || packet.Data.front().Code.empty())
    return TPacketRoute::Dropped;
  const char first = packet.Data.front().Code[0];
  if (first < '6') return TPacketRoute::MainRegistry;
  if (first == '6') return TPacketRoute::PanelTypes;
  if (first == '8') return TPacketRoute::SmsLanguages;
  return TPacketRoute::Dropped;
}
