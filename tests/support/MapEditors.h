#pragma once
// Every control and frame the parameter maps name, under one root widget and
// with their component names, as the main window holds them.

#include <QLineEdit>
#include <QWidget>

#include "editors/NumEdit.h"
#include "editors/PGMModeFrame.h"
#include "editors/PanelTypeFrame.h"
#include "editors/SMSTextFrame.h"
#include "editors/SmsLanguageFrame.h"
#include "editors/TelephonesForReportingFrame.h"
#include "editors/notificationsFram.h"
#include "platform/Panel.h"
#include "platform/SpinEdit.h"

struct TMapEditors {
  template <class T, class... A>
  T* Make(const char* name, A... args) {
    auto* w = new T(args..., &Root);
    w->setObjectName(name);
    return w;
  }
  TIntEdit* Numeric(const char* name, int length, int max) {
    auto* e = Make<TIntEdit>(name);
    e->SetMaxLength(length);
    e->SetMaxValue(max);
    return e;
  }
  TSpinEdit* Spin(const char* name, int min, int max, int value, int tag) {
    auto* s = Make<TSpinEdit>(name);
    s->setRange(min, max);
    s->setValue(value);
    s->Tag = tag;
    return s;
  }

  QWidget Root;
  TPanel* StatusDevPanel = Make<TPanel>("StatusDevPanel");
  TPanel* StatusSNPanel = Make<TPanel>("StatusSNPanel");
  TPanel* StatusVerPanel = Make<TPanel>("StatusVerPanel");
  TIntEdit* SimCardPinEdt = Numeric("SimCardPinEdt", 8, 99999999);
  TIntEdit* AccessCodeEdt = Numeric("AccessCodeEdt", 4, 9999);
  TIntEdit* AccessCodeEd1 = Numeric("AccessCodeEd1", 4, 9999);
  QLineEdit* AccountNameEdt = Make<QLineEdit>("AccountNameEdt");
  QLineEdit* AccountNameEd2 = Make<QLineEdit>("AccountNameEd2");
  TSpinEdit* TestTimeSpn = Spin("TestTimeSpn", 0, 240, 24, 3);
  TSpinEdit* TestTimeSp1 = Spin("TestTimeSp1", 0, 240, 24, 3);
  TSpinEdit* callTimesSpn = Spin("callTimesSpn", 1, 9, 1, 2);
  TPanelTypeFra* PanelTypeFra1 = Make<TPanelTypeFra>("PanelTypeFra1");
  TPanelTypeFra* PanelTypeFra2 = Make<TPanelTypeFra>("PanelTypeFra2");
  TPGMModeFra* PGMModeFra1 = Make<TPGMModeFra>("PGMModeFra1", static_cast<TQLanguage*>(nullptr));
  TPGMModeFra* PGMModeFra2 = Make<TPGMModeFra>("PGMModeFra2", static_cast<TQLanguage*>(nullptr));
  TSmsLanguageFrm* SmsLanguageFrm1 = Make<TSmsLanguageFrm>("SmsLanguageFrm1");
  TSmsLanguageFrm* SmsLanguageFrm2 = Make<TSmsLanguageFrm>("SmsLanguageFrm2");
  TTelephonesForReportingFra* TelephonesForReportingFra =
      Make<TTelephonesForReportingFra>("TelephonesForReportingFra");
  TSMSTextFra* SMSTextFra = Make<TSMSTextFra>("SMSTextFra");
  TnotificationsFrame* notificationsFrame1 =
      Make<TnotificationsFrame>("notificationsFrame1", static_cast<TQLanguage*>(nullptr));
};
