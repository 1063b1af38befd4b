#include "app/AccessCodeForm.h"

#include <QVBoxLayout>

#include "i18n/Q_Language.h"
#include "platform/Text.h"

TAccessCodeFrm::TAccessCodeFrm(TQLanguage& language, TMessageService& messages, QWidget* parent)
    : QDialog(parent),
      AccessCodeLbl(new QLabel(this)),
      AccessCodeEdt(new TIntEdit(this)),
      RememberChk(new QCheckBox(this)),
      OKBtn(new QPushButton(this)),
      FLanguage(language),
      FMessages(messages) {
  setObjectName("AccessCodeFrm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  AccessCodeLbl->setObjectName("AccessCodeLbl");
  AccessCodeEdt->setObjectName("AccessCodeEdt");
  RememberChk->setObjectName("RememberChk");
  OKBtn->setObjectName("OKBtn");
  AccessCodeLbl->hide();
  AccessCodeLbl->setBuddy(AccessCodeEdt);
  AccessCodeEdt->SetMaxLength(6);
  AccessCodeEdt->SetMaxValue(999999);
  AccessCodeEdt->setEchoMode(QLineEdit::Password);
  AccessCodeEdt->setStyleSheet("lineedit-password-character: 42");  // "*"
  AccessCodeEdt->setText("0");
  OKBtn->setDefault(true);
  OKBtn->setAutoDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 12);
  layout->setSpacing(10);
  layout->addWidget(AccessCodeLbl);
  layout->addWidget(AccessCodeEdt);
  layout->addWidget(RememberChk);
  layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
  setMinimumSize(173, 116);
}

void TAccessCodeFrm::SetAccessCode(const std::string& code) {
  if (code.empty())
    AccessCodeEdt->setText("0");
  else if (code.size() >= 6 && code.compare(4, 2, "00") == 0)
    AccessCodeEdt->setText(ToQ(code.substr(0, 4)));
  else
    AccessCodeEdt->setText(ToQ(code));
}

std::string TAccessCodeFrm::GetAccessCode() const {
  const std::string text = FromQ(AccessCodeEdt->text());
  return text.size() == 6 ? text : text + "00";
}

void TAccessCodeFrm::OKBtnClick() {
  const auto length = AccessCodeEdt->text().size();
  if (length == 4 || length == 6) {
    accept();
    return;
  }
  FMessages.ShowMessage(FLanguage.Translate("WrongAccessCodeLength"));
}
