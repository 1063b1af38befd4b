#include "app/ParameterBinding.h"

#include <QLabel>
#include <QLineEdit>
#include <cstdint>
#include <stdexcept>

#include "editors/NumEdit.h"
#include "editors/PGMModeFrame.h"
#include "editors/SMSTextFrame.h"
#include "editors/TelephonesForReportingFrame.h"
#include "editors/notificationsFram.h"
#include "platform/Panel.h"
#include "platform/SpinEdit.h"
#include "platform/Text.h"

namespace {

constexpr std::size_t kEditTextLimit = 31;

using TNodeAccessors = std::pair<TControlGetter, TControlSetter>;

// A frame's accessor pair that takes the node itself (the node is its own
// control).
template <class F>
TNodeAccessors NodeAccessors(F* frame, std::string (F::*get)(const TDataNode*) const,
                             void (F::*set)(const TDataNode*, const std::string&)) {
  return {[frame, get](QObject* node) { return (frame->*get)(qobject_cast<TDataNode*>(node)); },
          [frame, set](QObject* node, const std::string& value) {
            (frame->*set)(qobject_cast<TDataNode*>(node), value);
          }};
}

TNodeAccessors NodeAccessorsOf(QObject* editor, const std::string& accessor) {
  if (auto* f = qobject_cast<TnotificationsFrame*>(editor)) {
    using T = TnotificationsFrame;
    if (accessor == "PhoneNumber") return NodeAccessors(f, &T::GetPhoneNumber, &T::SetPhoneNumber);
    if (accessor == "AckFlags") return NodeAccessors(f, &T::GetAckFlags, &T::SetAckFlags);
    if (accessor == "EventText") return NodeAccessors(f, &T::GetEventText, &T::SetEventText);
    if (accessor == "RestoreText") return NodeAccessors(f, &T::GetRestoreText, &T::SetRestoreText);
    if (accessor == "NotificationFlags")
      return NodeAccessors(f, &T::GetNotificationFlags, &T::SetNotificationFlags);
  } else if (auto* f = qobject_cast<TTelephonesForReportingFra*>(editor)) {
    using T = TTelephonesForReportingFra;
    if (accessor == "PhoneNumber") return NodeAccessors(f, &T::GetPhoneNumber, &T::SetPhoneNumber);
    if (accessor == "ReportFlags") return NodeAccessors(f, &T::GetReportFlags, &T::SetReportFlags);
  } else if (auto* f = qobject_cast<TSMSTextFra*>(editor)) {
    using T = TSMSTextFra;
    if (accessor == "AlarmText") return NodeAccessors(f, &T::GetAlarmText, &T::SetAlarmText);
    if (accessor == "RestoreText") return NodeAccessors(f, &T::GetRestoreText, &T::SetRestoreText);
  }
  throw std::logic_error("no accessor " + accessor + " on " + editor->objectName().toStdString());
}

// The getter and setter of a selector frame.
std::pair<TValueGetter, TValueSetter> SelectorAccessorsOf(QObject* editor) {
  if (auto* f = qobject_cast<TPanelTypeFra*>(editor))
    return {[f] { return f->GetPanelType(); }, [f](const std::string& v) { f->SetPanelType(v); }};
  if (auto* f = qobject_cast<TPGMModeFra*>(editor))
    return {[f] { return f->GetPgmMode(); }, [f](const std::string& v) { f->SetPgmMode(v); }};
  if (auto* f = qobject_cast<TSmsLanguageFrm*>(editor))
    return {[f] { return f->GetSmsLanguage(); },
            [f](const std::string& v) { f->SetSmsLanguage(v); }};
  throw std::logic_error(editor->objectName().toStdString() + " is no selector");
}

// A decimal number with an optional sign, or nothing.
bool ParseDecimal(const std::string& text, int& value) {
  std::size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size() || text.size() - i > 10) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  if (text[0] == '-') v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

std::string TParameterBinding::GetText(QObject* control) {
  if (auto* label = qobject_cast<QLabel*>(control)) return FromQ(label->text());
  if (auto* edit = qobject_cast<QLineEdit*>(control))
    return FromQ(edit->text()).substr(0, kEditTextLimit);
  if (auto* panel = qobject_cast<TPanel*>(control)) return FromQ(panel->Caption());
  if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
    const std::size_t digits = static_cast<std::size_t>(std::max(0, spin->Tag));
    std::string text = std::to_string(spin->value());
    if (text.size() < digits) text.insert(0, digits - text.size(), '0');
    return text.substr(0, digits);
  }
  return {};
}

void TParameterBinding::SetText(QObject* control, const std::string& value) {
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(ToQ(value));
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(ToQ(value));
  } else if (auto* panel = qobject_cast<TPanel*>(control)) {
    panel->SetCaption(ToQ(value));
  } else if (auto* spin = qobject_cast<TSpinEdit*>(control)) {
    int number = 0;
    if (!ParseDecimal(value, number)) number = 0;
    spin->setValue(number);  // kept within the spin edit's own range
  }
}

QObject* TParameterBinding::Editor(const std::string& name) const {
  QObject* editor = FEditors->findChild<QObject*>(QString::fromStdString(name));
  if (!editor) throw std::logic_error("the window has no editor " + name);
  return editor;
}

void TParameterBinding::Build(const std::vector<TParameterRow>& rows,
                              TDataNodeHandler& registry) const {
  for (const TParameterRow& row : rows) {
    switch (row.Kind) {
      case TBindingKind::Plain:
        TDataNode::CreatePlain(&registry, row.Name, row.Code, row.InitialValue, false);
        break;
      case TBindingKind::Display:
        TDataNode::CreateDisplay(&registry, row.Name, row.Code, Editor(row.Editor), &SetText);
        break;
      case TBindingKind::Control:
        TDataNode::CreateForControl(&registry, row.Name, row.Code, Editor(row.Editor), &GetText,
                                    &SetText);
        break;
      case TBindingKind::Accessors: {
        auto [getter, setter] = SelectorAccessorsOf(Editor(row.Editor));
        TDataNode::CreateWithAccessors(&registry, row.Name, row.Code, getter, setter);
        break;
      }
      case TBindingKind::NodeBound: {
        auto [getter, setter] = NodeAccessorsOf(Editor(row.Editor), row.Accessor);
        TDataNode::CreateNodeBound(&registry, row.Name, row.Code, getter, setter);
        break;
      }
    }
  }
}

void TParameterBinding::AddStatusNodes(TDataNodeHandler& registry) const {
  Build(StatusRows(), registry);
}

void TParameterBinding::BuildV1Map(TDataNodeHandler& registry) const {
  Build(V1Rows(), registry);
}

void TParameterBinding::BuildV2Map(TDataNodeHandler& registry) const {
  Build(V2Rows(), registry);
}

void StorePacket(const TPacket& packet, const TPacketSink& sink) {
  auto fill = [&packet](TDataNodeHandler* list) {
    list->Clear();
    for (const TPacketData& item : packet.Data) list->SetByCode(item.Code, item.Value);
  };
  switch (RouteOf(packet)) {
    case TPacketRoute::MainRegistry:
      for (const TPacketData& item : packet.Data) sink.Params->SetByCode(item.Code, item.Value);
      break;
    case TPacketRoute::PanelTypes:
      fill(sink.PanelTypeList);
      if (sink.PanelTypeSel) sink.PanelTypeSel->FillPanelTypes(sink.PanelTypeList);
      break;
    case TPacketRoute::SmsLanguages:
      fill(sink.SmsLanguageList);
      if (sink.SmsLanguageSel) sink.SmsLanguageSel->FillSmsLanguages(sink.SmsLanguageList);
      break;
    case TPacketRoute::Dropped:
      break;
  }
}
