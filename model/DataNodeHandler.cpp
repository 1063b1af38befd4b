#include "model/DataNodeHandler.h"

#include <limits>

TDataNode::TDataNode(std::string name, std::string code)
    : Code(std::move(code)), Name(std::move(name)) {}

TDataNode::~TDataNode() {
  if (Handler) Handler->Remove(this);
}

TDataNode* TDataNode::CreatePlain(TDataNodeHandler* registry, std::string name, std::string code,
                                  std::string value, bool readOnly) {
  auto* node = new TDataNode(std::move(name), std::move(code));
  node->Value = std::move(value);
  node->ReadOnly = readOnly;
  node->AttachTo(registry);
  return node;
}

TDataNode* TDataNode::CreateWithAccessors(TDataNodeHandler* registry, std::string name,
                                          std::string code, TValueGetter getter,
                                          TValueSetter setter) {
  auto* node = new TDataNode(std::move(name), std::move(code));
  node->Getter = std::move(getter);
  node->Setter = std::move(setter);
  node->AttachTo(registry);
  return node;
}

TDataNode* TDataNode::CreateForControl(TDataNodeHandler* registry, std::string name,
                                       std::string code, QObject* control,
                                       TControlGetter controlGetter, TControlSetter controlSetter) {
  auto* node = new TDataNode(std::move(name), std::move(code));
  node->Control = control;
  node->ControlGetter = std::move(controlGetter);
  node->ControlSetter = std::move(controlSetter);
  node->AttachTo(registry);
  return node;
}

TDataNode* TDataNode::CreateNodeBound(TDataNodeHandler* registry, std::string name,
                                      std::string code, TControlGetter controlGetter,
                                      TControlSetter controlSetter) {
  auto* node = new TDataNode(std::move(name), std::move(code));
  node->Control = node;
  node->ControlGetter = std::move(controlGetter);
  node->ControlSetter = std::move(controlSetter);
  node->AttachTo(registry);
  return node;
}

TDataNode* TDataNode::CreateDisplay(TDataNodeHandler* registry, std::string name, std::string code,
                                    QObject* control, TControlSetter controlSetter) {
  auto* node = new TDataNode(std::move(name), std::move(code));
  node->Control = control;
  node->ControlSetter = std::move(controlSetter);
  node->ReadOnly = true;
  node->AttachTo(registry);
  return node;
}

void TDataNode::SetValue(const std::string& value) {
  if (Setter)
    Setter(value);
  else if (ControlSetter)
    ControlSetter(Control, value);
  else
    Value = value;
}

std::string TDataNode::GetValue() const {
  if (Getter) return Getter();
  if (ControlGetter) return ControlGetter(Control);
  return Value;
}

int TDataNode::CodeNumber() const {
  if (Code.empty()) return -1;
  long long number = 0;
  for (char c : Code) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
    if (number > std::numeric_limits<int>::max()) return -1;
  }
  return static_cast<int>(number);
}

void TDataNode::AttachTo(TDataNodeHandler* registry) {
  if (Handler) Handler->Remove(this);
  Handler = registry;
  if (registry) registry->Add(this);
}

TDataNodeHandler::~TDataNodeHandler() {
  Clear();
}

void TDataNodeHandler::Add(TDataNode* node) {
  FList.Add(node->Code, node);
}

void TDataNodeHandler::Remove(TDataNode* node) {
  int index = FList.IndexOf(node->Code);
  // Codes are unique, so this is the node's own entry; should a caller have
  // broken that, never delete another node's entry in its place.
  if (index >= 0 && FList.At(index).Item != node) {
    index = -1;
    for (int i = 0; i < Count() && index < 0; ++i)
      if (FList.At(i).Item == node) index = i;
  }
  if (index >= 0) FList.Delete(index);
}

void TDataNodeHandler::SetByCode(const std::string& code, const std::string& value) {
  TDataNode* node = Find(code);
  if (!node) node = TDataNode::CreatePlain(this, "", code, value, false);
  node->SetValue(value);
}

void TDataNodeHandler::Clear() {
  // Each node's destructor deletes its own entry.
  while (Count() > 0) {
    TDataNode* node = FList.At(0).Item;
    const int before = Count();
    delete node;
    if (Count() == before) FList.Delete(0);  // never loop on an entry its node did not own
  }
}

std::optional<std::string> TDataNodeHandler::ValueAt(int index) const {
  if (index < 0 || index >= Count()) return std::nullopt;
  return FList.At(index).Item->GetValue();
}

std::optional<std::string> TDataNodeHandler::CodeAt(int index) const {
  if (index < 0 || index >= Count()) return std::nullopt;
  return FList.At(index).Key;
}

TDataNode* TDataNodeHandler::Find(const std::string& code) const {
  const int index = FList.IndexOf(code);
  return index < 0 ? nullptr : FList.At(index).Item;
}

TDataNode* TDataNodeHandler::NodeAt(int index) const {
  return index < 0 || index >= Count() ? nullptr : FList.At(index).Item;
}
