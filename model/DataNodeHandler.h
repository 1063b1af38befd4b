#pragma once
// Every device parameter is a node keyed by its three-character code. A node
// keeps its value itself, or moves it into and out of the editor it is bound
// to; nothing else in the program touches an editor by code.

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

#include "platform/HashedStringList.h"

class TDataNodeHandler;

// Method pointers of the original design become callables; an empty one is
// not bound.
using TValueSetter = std::function<void(const std::string& value)>;
using TValueGetter = std::function<std::string()>;
using TControlSetter = std::function<void(QObject* control, const std::string& value)>;
using TControlGetter = std::function<std::string(QObject* control)>;

// Control refers to a widget of the window, or to the node itself for
// node-bound parameters, so nodes are QObjects. A node never owns its control.
class TDataNode : public QObject {
  Q_OBJECT

 public:
  TDataNode() = default;
  TDataNode(std::string name, std::string code);
  ~TDataNode() override;  // detaches from its registry first

  // Each creates a node and, when a registry is given, attaches it there; the
  // registry then owns it. Without one the caller owns the node.
  static TDataNode* CreatePlain(TDataNodeHandler* registry, std::string name, std::string code,
                                std::string value, bool readOnly);
  static TDataNode* CreateWithAccessors(TDataNodeHandler* registry, std::string name,
                                        std::string code, TValueGetter getter, TValueSetter setter);
  static TDataNode* CreateForControl(TDataNodeHandler* registry, std::string name, std::string code,
                                     QObject* control, TControlGetter controlGetter,
                                     TControlSetter controlSetter);
  static TDataNode* CreateNodeBound(TDataNodeHandler* registry, std::string name, std::string code,
                                    TControlGetter controlGetter, TControlSetter controlSetter);
  static TDataNode* CreateDisplay(TDataNodeHandler* registry, std::string name, std::string code,
                                  QObject* control, TControlSetter controlSetter);

  void SetValue(const std::string& value);
  std::string GetValue() const;
  // The code as a decimal number ("090" gives 90); -1 when it is not one.
  int CodeNumber() const;
  // Moves the node into a registry (or none); re-attaching moves it to the end.
  void AttachTo(TDataNodeHandler* registry);

  TValueSetter Setter;
  TValueGetter Getter;
  std::string Code;
  std::string Value;
  std::string Name;
  TDataNodeHandler* Handler = nullptr;
  QPointer<QObject> Control;
  TControlSetter ControlSetter;
  TControlGetter ControlGetter;
  bool ReadOnly = false;
};

// Owns its nodes; entries keep insertion order, codes ignore letter case.
class TDataNodeHandler {
 public:
  TDataNodeHandler() = default;
  TDataNodeHandler(const TDataNodeHandler&) = delete;
  TDataNodeHandler& operator=(const TDataNodeHandler&) = delete;
  ~TDataNodeHandler();

  void Add(TDataNode* node);     // called by AttachTo only
  void Remove(TDataNode* node);  // deletes the first entry with the node's code; frees nothing
  // The node with this code gets the value; a missing code gets a plain node.
  void SetByCode(const std::string& code, const std::string& value);
  void Clear();
  int Count() const { return FList.Count(); }
  // Nothing when the index is out of range, so the caller's text is kept.
  std::optional<std::string> ValueAt(int index) const;
  std::optional<std::string> CodeAt(int index) const;
  TDataNode* Find(const std::string& code) const;
  TDataNode* NodeAt(int index) const;  // null when out of range

 private:
  THashedStringList<TDataNode*> FList;
};
