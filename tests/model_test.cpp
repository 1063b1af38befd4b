#include <gtest/gtest.h>

#include "model/DataNodeHandler.h"
#include "model/ParameterMaps.h"

#include <set>

namespace {

// A stand-in editor: remembers what it was given.
struct TFakeControl : QObject {
  std::string Text;
};

TControlSetter SetText() {
  return [](QObject* c, const std::string& v) { static_cast<TFakeControl*>(c)->Text = v; };
}
TControlGetter GetText() {
  return [](QObject* c) { return static_cast<TFakeControl*>(c)->Text; };
}

}  // namespace

TEST(DataNode, BindingsDecideWhereTheValueLives) {
  TDataNodeHandler registry;
  TFakeControl control, display;
  std::string frameValue;

  TDataNode* plain = TDataNode::CreatePlain(&registry, "AccountNr", "010", "0000", false);
  TDataNode* accessors = TDataNode::CreateWithAccessors(
      &registry, "PanelType", "013", [&] { return "<" + frameValue + ">"; },
      [&](const std::string& v) { frameValue = v; });
  TDataNode* forControl =
      TDataNode::CreateForControl(&registry, "AccessCode", "012", &control, GetText(), SetText());
  TDataNode* shown = TDataNode::CreateDisplay(&registry, "Dev", "000", &display, SetText());
  std::vector<int> boundCodes;
  TDataNode* bound = TDataNode::CreateNodeBound(
      &registry, "SmsPhoneNr1", "090",
      [&](QObject* c) { return std::to_string(static_cast<TDataNode*>(c)->CodeNumber()); },
      [&](QObject* c, const std::string&) {
        boundCodes.push_back(static_cast<TDataNode*>(c)->CodeNumber());
      });

  EXPECT_EQ(plain->GetValue(), "0000");
  plain->SetValue("1234");
  EXPECT_EQ(plain->GetValue(), "1234");

  accessors->SetValue("02");
  EXPECT_EQ(frameValue, "02");
  EXPECT_EQ(accessors->GetValue(), "<02>");
  EXPECT_EQ(accessors->Value, "");

  forControl->SetValue("0042");
  EXPECT_EQ(control.Text, "0042");
  EXPECT_EQ(forControl->GetValue(), "0042");

  shown->SetValue("abc");
  EXPECT_EQ(display.Text, "abc");
  EXPECT_EQ(shown->GetValue(), "");
  EXPECT_TRUE(shown->ReadOnly);
  EXPECT_FALSE(forControl->ReadOnly);

  EXPECT_EQ(bound->Control, bound);
  bound->SetValue("x");
  EXPECT_EQ(boundCodes, std::vector<int>{90});
  EXPECT_EQ(bound->GetValue(), "90");
  EXPECT_EQ(registry.Count(), 5);
}

TEST(DataNode, CodeNumber) {
  const std::pair<const char*, int> cases[] = {
      {"090", 90}, {"000", 0},  {"356", 356}, {"ACK", -1},
      {"", -1},    {"-12", -1}, {"1a", -1},   {"99999999999", -1},
  };
  for (const auto& [code, number] : cases)
    EXPECT_EQ(TDataNode("", code).CodeNumber(), number) << code;
}

TEST(DataNodeHandler, SetByCode) {
  TDataNodeHandler registry;
  TDataNode::CreatePlain(&registry, "", "010", "0000", false);
  TDataNode::CreatePlain(&registry, "", "100", "", false);

  registry.SetByCode("100", "Shop");
  EXPECT_EQ(registry.Count(), 2);
  EXPECT_EQ(registry.ValueAt(1), "Shop");
  EXPECT_EQ(registry.ValueAt(0), "0000");

  registry.SetByCode("777", "x");
  ASSERT_EQ(registry.Count(), 3);
  EXPECT_EQ(registry.ValueAt(2), "x");
  EXPECT_EQ(registry.CodeAt(2), "777");
  TDataNode* created = registry.Find("777");
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(created->ReadOnly);
  EXPECT_EQ(created->Handler, &registry);
}

TEST(DataNodeHandler, LookupIgnoresCaseAndKeepsOrder) {
  TDataNodeHandler registry;
  for (const char* code : {"ACK", "300", "abc"})
    TDataNode::CreatePlain(&registry, "", code, code, false);
  EXPECT_EQ(registry.Find("ack"), registry.NodeAt(0));
  EXPECT_EQ(registry.Find("ABC"), registry.NodeAt(2));
  EXPECT_EQ(registry.Find("301"), nullptr);
  // Re-attaching moves the entry to the end.
  registry.NodeAt(0)->AttachTo(&registry);
  EXPECT_EQ(registry.CodeAt(0), "300");
  EXPECT_EQ(registry.CodeAt(2), "ACK");
  EXPECT_EQ(registry.Find("ack"), registry.NodeAt(2));
}

TEST(DataNodeHandler, IndexOutOfRangeGivesNothing) {
  TDataNodeHandler registry;
  TDataNode::CreatePlain(&registry, "", "010", "0000", false);
  for (int index : {-1, 1, 100}) {
    EXPECT_EQ(registry.ValueAt(index), std::nullopt);
    EXPECT_EQ(registry.CodeAt(index), std::nullopt);
    EXPECT_EQ(registry.NodeAt(index), nullptr);
  }
  std::string result = "kept";
  result = registry.ValueAt(1).value_or(result);
  EXPECT_EQ(result, "kept");
}

TEST(DataNodeHandler, FreeingANodeDetachesIt) {
  TDataNodeHandler registry;
  TDataNode::CreatePlain(&registry, "", "010", "", false);
  TDataNode* node = TDataNode::CreatePlain(&registry, "", "011", "", false);
  TDataNode::CreatePlain(&registry, "", "012", "", false);
  delete node;
  EXPECT_EQ(registry.Count(), 2);
  EXPECT_EQ(registry.Find("011"), nullptr);
  EXPECT_EQ(registry.CodeAt(1), "012");

  // Moving a node to another registry leaves the first.
  TDataNodeHandler other;
  registry.Find("010")->AttachTo(&other);
  EXPECT_EQ(registry.Count(), 1);
  EXPECT_EQ(other.Count(), 1);
  // A detached node belongs to its caller.
  TDataNode* loose = other.Find("010");
  loose->AttachTo(nullptr);
  EXPECT_EQ(other.Count(), 0);
  EXPECT_EQ(loose->Handler, nullptr);
  delete loose;
}

TEST(DataNodeHandler, ClearFreesEveryNode) {
  int destroyed = 0;
  {
    TDataNodeHandler registry;
    registry.Clear();  // empty: nothing happens
    for (int i = 0; i < 60; ++i) {
      TDataNode* node = TDataNode::CreatePlain(&registry, "", std::to_string(300 + i), "", false);
      QObject::connect(node, &QObject::destroyed, [&] { ++destroyed; });
    }
    EXPECT_EQ(registry.Count(), 60);
    registry.Clear();
    EXPECT_EQ(registry.Count(), 0);
    EXPECT_EQ(destroyed, 60);
    for (int i = 0; i < 5; ++i) TDataNode::CreatePlain(&registry, "", std::to_string(i), "", false);
  }  // the destructor frees the rest
  SUCCEED();
}

TEST(DataNodeHandler, ClearSurvivesANodeWhoseCodeWasChanged) {
  TDataNodeHandler registry;
  TDataNode* a = TDataNode::CreatePlain(&registry, "", "010", "", false);
  TDataNode::CreatePlain(&registry, "", "011", "", false);
  a->Code = "011";  // breaks uniqueness; removal must still take a's own entry
  registry.Clear();
  EXPECT_EQ(registry.Count(), 0);
}

namespace {

std::vector<std::string> Codes(const std::vector<TParameterRow>& rows) {
  std::vector<std::string> codes;
  for (const TParameterRow& row : rows) codes.push_back(row.Code);
  return codes;
}

std::vector<std::string> Range(int first, int last) {
  std::vector<std::string> codes;
  for (int c = first; c <= last; ++c) codes.push_back((c < 100 ? "0" : "") + std::to_string(c));
  return codes;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(ParameterMaps, TablesOfBothGenerations) {
  EXPECT_EQ(Codes(StatusRows()), (std::vector<std::string>{"000", "001", "002"}));
  EXPECT_EQ(Codes(V1Rows()), Concat({{"010", "011", "012", "013", "016", "025", "026"},
                                     Range(90, 97),
                                     {"100"},
                                     Range(300, 305),
                                     Range(400, 405)}));
  EXPECT_EQ(Codes(V2Rows()), Concat({{"010", "011", "012", "013", "016", "025", "026", "027"},
                                     Range(90, 93),
                                     {"098", "100"},
                                     Range(300, 306),
                                     Range(350, 356),
                                     Range(400, 405),
                                     Range(450, 455)}));
  EXPECT_EQ(StatusRows().size() + V1Rows().size(), 31u);
  EXPECT_EQ(StatusRows().size() + V2Rows().size(), 43u);

  for (const auto* rows : {&V1Rows(), &V2Rows()}) {
    for (const TParameterRow& row : *rows) {
      SCOPED_TRACE(row.Code);
      // Only the status and the SIM card PIN are shown without being written.
      EXPECT_EQ(row.Kind == TBindingKind::Display, row.Code == "011");
      EXPECT_EQ(row.Kind == TBindingKind::Plain, row.Code == "010");
      EXPECT_EQ(row.Kind == TBindingKind::NodeBound, !row.Accessor.empty());
      EXPECT_EQ(row.Kind == TBindingKind::Plain, row.Editor.empty());
    }
  }
  EXPECT_EQ(V1Rows()[0].InitialValue, "0000");
  EXPECT_EQ(V2Rows()[2].Editor, "AccessCodeEd1");
  EXPECT_EQ(V1Rows()[3].Editor, "PanelTypeFra2");
  EXPECT_EQ(V2Rows()[7].Name, "Call Nr.");
}

TEST(ParameterMaps, GatherTakesOneGroupInRegistryOrderWithoutReadOnlyNodes) {
  TDataNodeHandler registry;
  TDataNode::CreatePlain(&registry, "", "000", "VX8", true);
  TDataNode::CreatePlain(&registry, "", "100", "Shop", false);
  TDataNode::CreatePlain(&registry, "", "010", "0000", false);
  TDataNode::CreatePlain(&registry, "", "011", "1234", true);
  TDataNode::CreatePlain(&registry, "", "013", "02", false);
  TDataNode::CreatePlain(&registry, "", "777", "x", false);
  const TPacketDataArray zero = Gather(registry, '0');
  ASSERT_EQ(zero.size(), 2u);
  EXPECT_EQ(zero[0].Code, "010");
  EXPECT_EQ(zero[0].Value, "0000");
  EXPECT_EQ(zero[1].Code, "013");
  EXPECT_EQ(Gather(registry, '1').size(), 1u);
  EXPECT_TRUE(Gather(registry, '2').empty());
  EXPECT_EQ(std::string(kSettingsGroups, 4), "0134");
}

TEST(ParameterMaps, RouteByCommandAndTheFirstItemsCode) {
  auto packet = [](const char* command, std::vector<std::string> codes) {
    TPacket p;
    p.Command = command;
    for (const std::string& c : codes) p.Data.push_back({c, "v"});
    return p;
  };
  using R = TPacketRoute;
  const std::tuple<const char*, TPacket, R> cases[] = {
      {"F1 anything", packet("F1", {"800", "600"}), R::MainRegistry},
      {"F3 settings", packet("F3", {"011", "650"}), R::MainRegistry},
      {"F3 group 5", packet("F3", {"512"}), R::MainRegistry},
      {"F3 panel types", packet("F3", {"600", "100"}), R::PanelTypes},
      {"F3 SMS languages", packet("F3", {"801"}), R::SmsLanguages},
      {"F3 group 7", packet("F3", {"700"}), R::Dropped},
      {"F3 group 9", packet("F3", {"900"}), R::Dropped},
      {"F3 without items", packet("F3", {}), R::Dropped},
      {"a reply word", packet("OK", {"010"}), R::Dropped},
      {"F0", packet("F0", {"010"}), R::Dropped},
  };
  for (const auto& [what, p, route] : cases) EXPECT_EQ(RouteOf(p), route) << what;
}
