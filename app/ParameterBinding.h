#pragma once
// The window's side of the parameter maps: the rows of model/ParameterMaps
// become nodes bound to the window's editors, which are found by their
// component names under one root widget; the window's rules for turning a
// control's contents into value text and back; and the routing of a
// received packet into the three registries.

#include <QObject>
#include <QWidget>
#include <string>
#include <vector>

#include "codec/PacketParser.h"
#include "editors/PanelTypeFrame.h"
#include "editors/SmsLanguageFrame.h"
#include "model/DataNodeHandler.h"
#include "model/ParameterMaps.h"

class TParameterBinding {
 public:
  // editors holds every control and frame the tables name.
  explicit TParameterBinding(QWidget* editors) : FEditors(editors) {}

  void AddStatusNodes(TDataNodeHandler& registry) const;
  void BuildV1Map(TDataNodeHandler& registry) const;
  void BuildV2Map(TDataNodeHandler& registry) const;

  // Get text, by the control's class: a label's or a panel's caption; an
  // edit's first 31 characters; a spin edit's value padded with "0" (or cut)
  // to its Tag; anything else the empty text.
  static std::string GetText(QObject* control);
  // Set text: a label, edit or panel takes the text unchanged; a spin edit
  // the text read as a decimal number (0 when it is none), within its range.
  static void SetText(QObject* control, const std::string& value);

 private:
  void Build(const std::vector<TParameterRow>& rows, TDataNodeHandler& registry) const;
  QObject* Editor(const std::string& name) const;

  QWidget* FEditors;
};

// What a received packet can reach: the window's three registries and the
// current generation's list selectors.
struct TPacketSink {
  TDataNodeHandler* Params = nullptr;
  TDataNodeHandler* PanelTypeList = nullptr;
  TDataNodeHandler* SmsLanguageList = nullptr;
  TPanelTypeFra* PanelTypeSel = nullptr;
  TSmsLanguageFrm* SmsLanguageSel = nullptr;
};

// Routes a packet's items (see RouteOf): into the main registry, where
// unknown codes become plain nodes; or into a list registry, emptied first,
// after which its selector rebuilds its choices.
void StorePacket(const TPacket& packet, const TPacketSink& sink);
