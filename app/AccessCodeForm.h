#pragma once
// The access code dialog: four or six digits, shown as "*", and whether to
// remember them.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "editors/NumEdit.h"
#include "platform/MessageService.h"

class TQLanguage;

class TAccessCodeFrm : public QDialog {
  Q_OBJECT

 public:
  TAccessCodeFrm(TQLanguage& language, TMessageService& messages, QWidget* parent = nullptr);

  // An empty code shows "0"; "xxxx00" shows its first four digits; any other
  // code shows as it is.
  void SetAccessCode(const std::string& code);
  // Six typed digits as they are; four followed by "00".
  std::string GetAccessCode() const;
  void SetRemember(bool remember) { RememberChk->setChecked(remember); }
  bool GetRemember() const { return RememberChk->isChecked(); }
  // Closes with OK for exactly four or six characters; otherwise says so and
  // stays open.
  void OKBtnClick();

  QLabel* AccessCodeLbl;
  TIntEdit* AccessCodeEdt;
  QCheckBox* RememberChk;
  QPushButton* OKBtn;

 private:
  TQLanguage& FLanguage;
  TMessageService& FMessages;
};
