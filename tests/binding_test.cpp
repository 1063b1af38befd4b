// The parameter maps bound to real editors: what the window stores, shows
// and gathers, and that the simulated device and the maps agree on the codes.
#include <gtest/gtest.h>

#include <map>

#include "app/ParameterBinding.h"
#include "platform/Text.h"
#include "sim/SimDevice.h"
#include "support/MapEditors.h"

namespace {

class BindingTest : public ::testing::Test {
 protected:
  void Build(int generation) {
    Params.Clear();
    Binding.AddStatusNodes(Params);
    if (generation == 1)
      Binding.BuildV1Map(Params);
    else
      Binding.BuildV2Map(Params);
    Editors.PGMModeFra1->FillPgmModes();
    Editors.PGMModeFra2->FillPgmModes();
    Sink.PanelTypeSel = generation == 1 ? Editors.PanelTypeFra2 : Editors.PanelTypeFra1;
    Sink.SmsLanguageSel = generation == 1 ? Editors.SmsLanguageFrm1 : Editors.SmsLanguageFrm2;
  }
  void Store(const char* command, std::vector<std::pair<std::string, std::string>> items) {
    TPacket p;
    p.Command = command;
    for (auto& [code, value] : items) p.Data.push_back({code, value});
    StorePacket(p, Sink);
  }
  std::vector<std::string> GatheredCodes(char group) {
    std::vector<std::string> codes;
    for (const TPacketData& item : Gather(Params, group)) codes.push_back(item.Code);
    return codes;
  }
  std::string GatheredValue(const std::string& code) {
    for (char group : kSettingsGroups) {
      for (const TPacketData& item : Gather(Params, group))
        if (item.Code == code) return item.Value;
    }
    return "<not gathered>";
  }

  TMapEditors Editors;
  TParameterBinding Binding{&Editors.Root};
  TDataNodeHandler Params, PanelTypes, SmsLanguages;
  TPacketSink Sink{&Params, &PanelTypes, &SmsLanguages, nullptr, nullptr};
};

// Asks the simulated device for its settings as the link does, and gives the
// packets of the transfer.
TPacketArray DeviceTransfer(int generation) {
  TSimConfig config;
  config.Generation = generation;
  TSimDevice device(config);
  const TPacketParser parser;
  auto ask = [&](const char* command, std::uint8_t count, std::uint8_t number,
                 const std::string& code) {
    TPacket request;
    request.PacketCount = count;
    request.PacketNumber = number;
    request.Command = command;
    TByteArray bytes = parser.Encode(request, code);
    bytes.push_back(0);
    return parser.Decode(device.Receive(bytes).at(0).Writes.at(0));
  };
  TPacketArray packets{ask("F2", 1, 1, "375100")};
  const std::uint8_t count = packets[0].PacketCount;
  for (std::uint8_t n = 1; n < count; ++n) packets.push_back(ask("FF", count, n, ""));
  return packets;
}

}  // namespace

TEST_F(BindingTest, MapsBuildInTableOrderAndGatherByGroup) {
  Build(1);
  ASSERT_EQ(Params.Count(), 31);
  EXPECT_EQ(*Params.CodeAt(0), "000");
  EXPECT_EQ(*Params.CodeAt(3), "010");
  EXPECT_EQ(GatheredCodes('0'),
            (std::vector<std::string>{"010", "012", "013", "016", "025", "026", "090", "091", "092",
                                      "093", "094", "095", "096", "097"}));
  EXPECT_EQ(Gather(Params, '0')[0].Value, "0000");
  EXPECT_EQ(GatheredCodes('1'), std::vector<std::string>{"100"});
  EXPECT_EQ(GatheredCodes('4').size(), 6u);
  EXPECT_TRUE(GatheredCodes('2').empty());

  Build(2);
  ASSERT_EQ(Params.Count(), 43);
  EXPECT_EQ(GatheredCodes('3'),
            (std::vector<std::string>{"300", "301", "302", "303", "304", "305", "306", "350", "351",
                                      "352", "353", "354", "355", "356"}));
  EXPECT_EQ(GatheredCodes('0').back(), "098");
}

TEST_F(BindingTest, StatusGoesToThePanelsAndIsNeverGathered) {
  Build(2);
  Store("F1", {{"000", "VX8"}, {"001", "VX8-004711"}, {"002", "Ver: 2.05"}});
  EXPECT_EQ(Editors.StatusVerPanel->Caption(), "Ver: 2.05");
  EXPECT_EQ(Params.Find("002")->GetValue(), "");  // a display gives nothing back
  EXPECT_EQ(GatheredValue("000"), "<not gathered>");
  EXPECT_EQ(GatheredValue("011"), "<not gathered>");
}

TEST_F(BindingTest, TextRulesOfTheWindowsControls) {
  Build(1);
  struct Case {
    const char* code;
    std::string value;
    std::string shown;
    std::string gathered;
  };
  const std::string forty(40, 'n');
  const Case cases[] = {
      {"016", "300", "240", "240"},
      {"016", "abc", "0", "000"},
      {"016", "7", "7", "007"},
      {"016", " 24", "0", "000"},
      {"100", forty, forty, forty.substr(0, 31)},
      {"012", "0042", "0042", "0042"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code + (" <- " + c.value));
    Params.Find(c.code)->SetValue(c.value);
    const QObject* control = Params.Find(c.code)->Control;
    const QString shown = qobject_cast<const QLineEdit*>(control)
                              ? qobject_cast<const QLineEdit*>(control)->text()
                              : QString::number(qobject_cast<const TSpinEdit*>(control)->value());
    EXPECT_EQ(FromQ(shown), c.shown);
    EXPECT_EQ(GatheredValue(c.code), c.gathered);
  }
  Build(2);
  Params.Find("027")->SetValue("0");
  EXPECT_EQ(GatheredValue("027"), "01");  // the call count starts at 1

  // Every byte value crosses an edit unchanged.
  for (int first = 1; first < 256; first += 31) {
    std::string bytes;
    for (int b = first; b < first + 31 && b < 256; ++b) bytes.push_back(static_cast<char>(b));
    Params.Find("100")->SetValue(bytes);
    EXPECT_EQ(Params.Find("100")->GetValue(), bytes) << first;
  }
}

TEST_F(BindingTest, ListPacketsReplaceTheListsAndRefillTheSelectors) {
  Build(2);
  Params.Find("013")->SetValue("02");
  Store("F3", {{"600", "01-Contact ID"}, {"601", "02-Paradox"}, {"602", "03-DSC"}});
  EXPECT_EQ(PanelTypes.Count(), 3);
  EXPECT_EQ(Editors.PanelTypeFra1->PanelTypesCmb()->count(), 3);
  EXPECT_EQ(Params.Find("013")->GetValue(), "02");
  EXPECT_EQ(Editors.PanelTypeFra2->PanelTypesCmb()->count(), 0);  // not this generation's

  // A shorter list replaces a longer one completely; the choices follow.
  Store("F3", {{"610", "05-Ademco"}});
  EXPECT_EQ(PanelTypes.Count(), 1);
  EXPECT_EQ(*PanelTypes.CodeAt(0), "610");
  EXPECT_EQ(Editors.PanelTypeFra1->PanelTypesCmb()->itemText(0), "Ademco");
  EXPECT_EQ(Params.Find("013")->GetValue(), "");  // 02 is no longer offered

  Store("F3", {{"800", "01-English"}, {"801", "02-Deutsch"}});
  EXPECT_EQ(Editors.SmsLanguageFrm2->SMSlanguageCmb()->count(), 2);

  // The first item's code decides for the whole packet.
  Store("F3", {{"011", "1234"}, {"650", "extra"}});
  EXPECT_EQ(Params.Count(), 44);
  EXPECT_EQ(Params.Find("650")->GetValue(), "extra");
  EXPECT_FALSE(Params.Find("650")->ReadOnly);
  EXPECT_EQ(GatheredValue("650"), "<not gathered>");  // group 6 is never written
  EXPECT_EQ(PanelTypes.Count(), 1);

  for (const char* code : {"700", "900"}) {
    Store("F3", {{code, "x"}, {"100", "changed"}});
    EXPECT_EQ(Params.Count(), 44) << code;
    EXPECT_NE(Params.Find("100")->GetValue(), "changed") << code;
  }
}

TEST_F(BindingTest, TheSimulatedDevicesTransferFillsExactlyTheMap) {
  for (int generation : {1, 2}) {
    SCOPED_TRACE(generation);
    Build(generation);
    const int nodes = Params.Count();
    std::map<std::string, std::string> sent;
    for (const TPacket& p : DeviceTransfer(generation)) {
      StorePacket(p, Sink);
      if (p.Command != "F1") continue;
      for (const TPacketData& item : p.Data) sent[item.Code] = item.Value;
    }
    EXPECT_EQ(Params.Count(), nodes);  // no code beyond the map
    for (int i = 3; i < Params.Count(); ++i) {
      const TDataNode* node = Params.NodeAt(i);
      SCOPED_TRACE(node->Code);
      ASSERT_EQ(sent.count(node->Code), 1u);
      if (!node->ReadOnly) {
        EXPECT_EQ(node->GetValue(), sent[node->Code]);
      }
    }
    EXPECT_EQ(PanelTypes.Count(), 4);
    EXPECT_EQ(SmsLanguages.Count(), 4);
  }
}
