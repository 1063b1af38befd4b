#pragma once
// The second generation's notification page: the SMS texts of every event
// and restore, four phone numbers, and the matrix of which event goes to
// which phone by SMS or call (14 rows, 8 check columns: SMS 1, call 1, ...).
//
// Accessors take the node they are bound to and find their place from its
// code; a code that is not a number is ignored. SetAckFlags with a value
// shorter than four characters leaves the flags it does not cover unchanged.

#include <QFrame>
#include <QLineEdit>
#include <array>
#include <string>

#include "editors/PhoneText.h"
#include "i18n/Q_Language.h"
#include "model/DataNodeHandler.h"
#include "platform/Grid.h"
#include "platform/StyledLabel.h"

class TnotificationsFrame : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kMatrixRows = 14;
  static constexpr int kAckRow = 13;
  static constexpr int kTextLimit = 31;
  static constexpr int kPhoneLimit = 15;

  explicit TnotificationsFrame(TQLanguage* language, QWidget* parent = nullptr);

  void ResetGrids();
  void UpdatePhoneHints();

  std::string GetNotificationFlags(const TDataNode* node) const;
  void SetNotificationFlags(const TDataNode* node, const std::string& value);
  std::string GetAckFlags(const TDataNode* node) const;
  void SetAckFlags(const TDataNode* node, const std::string& value);
  std::string GetPhoneNumber(const TDataNode* node) const;
  void SetPhoneNumber(const TDataNode* node, const std::string& value);
  std::string GetEventText(const TDataNode* node) const;
  void SetEventText(const TDataNode* node, const std::string& value);
  std::string GetRestoreText(const TDataNode* node) const;
  void SetRestoreText(const TDataNode* node, const std::string& value);

  bool eventsGrdBeforeEdit(int column, int row) const;
  bool notificationChecksGrdBeforeEdit(int column, int row) const;
  // The change rule of phone edit k (1..4).
  void PhoneEdtChange(int phone);

  TGrid* inputGrd;
  TGrid* eventsGrd;
  TGrid* notificationChecksGrd;
  std::array<QLineEdit*, 4> phoneEdt{};  // phone1Edt .. phone4Edt
  std::array<bool, 4> phoneEmpty{};

 private:
  // The text cell of the event (column 1) or restore (column 2) of code n.
  std::pair<TGrid*, int> TextRow(int n) const;
  std::string CellText(const TDataNode* node, int column) const;
  void SetCellText(const TDataNode* node, int column, const std::string& value);
  QLineEdit* PhoneEdit(const TDataNode* node) const;
  TStyledLabel* Caption(const char* name, int x, int y, int w, int h, Qt::Alignment align);

  TQLanguage* FLanguage;
};
