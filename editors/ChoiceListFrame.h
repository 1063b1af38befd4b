#pragma once
// A caption and a pick-only list of the choices a device sends ("01-Text":
// id, separator, display text), shared by the panel type and SMS language
// selectors. The value given by a read is only recorded (CurrentId) until
// the next fill selects it.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <string>

#include "model/DataNodeHandler.h"

class TChoiceListFrame : public QFrame {
  Q_OBJECT

 public:
  TChoiceListFrame(const char* frameName, const char* labelName, const char* listName,
                   QWidget* parent);

  void SetCurrent(const std::string& id) { CurrentId = id; }
  // The id of the selected choice, or the empty text.
  std::string GetCurrent() const;
  // Rebuilds the items from the list registry, selecting the last whose id
  // equals CurrentId.
  void Fill(TDataNodeHandler* list);

  QLabel* Label;
  QComboBox* List;
  std::string CurrentId;

 private:
  TDataNodeHandler* FList = nullptr;  // where the items came from
};
