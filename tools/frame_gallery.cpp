// frame_gallery: shows each setting editor at the size the main window gives
// it, translated and filled with sample values, and saves a picture of each.
//   frame_gallery OUTPUT_DIR [LANGUAGE]
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include "editors/ConnectionSettingsFrame.h"
#include "editors/NumEdit.h"
#include "editors/PGMModeFrame.h"
#include "editors/PanelTypeFrame.h"
#include "editors/SMSTextFrame.h"
#include "editors/SmsLanguageFrame.h"
#include "editors/TelephonesForReportingFrame.h"
#include "editors/notificationsFram.h"
#include "platform/Registry.h"
#include "platform/WidgetMessageService.h"

namespace {

constexpr int kPageWidth = 655;

void Save(QWidget& page, const QString& dir, const QString& name) {
  page.show();
  QApplication::processEvents();
  page.grab().save(dir + "/" + name + ".png");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  QTemporaryDir registryDir;
  TFileRegistryHive hive(registryDir.path() + "/registry.reg");
  if (argc > 2) {
    TRegistry r(hive);
    r.OpenKey(TQLanguage::kRegistryKey, true);
    r.WriteString(TQLanguage::kRegistryValue, argv[2]);
  }
  TWidgetMessageService messages;
  TQLanguage language(messages, QString(), hive);
  language.LoadLanguage(TQLanguage::kFileName);

  {
    QWidget page;
    page.setObjectName("notificationsTbs");
    page.resize(kPageWidth, 540);
    auto* frame = new TnotificationsFrame(&language, &page);
    frame->move(8, 8);
    language.TranslateComponent(frame);
    TDataNode in1("", "300"), in1Flags("", "350"), test("", "356"), ack("", "098"),
        phone("", "090");
    frame->SetEventText(&in1, "Front door opened");
    frame->SetPhoneNumber(&phone, "+37060012345");
    frame->SetNotificationFlags(&in1Flags, "10010000");
    frame->SetNotificationFlags(&test, "11000000");
    frame->SetAckFlags(&ack, "1000");
    Save(page, out, "notifications");
  }
  {
    QWidget page;
    page.setObjectName("TextSMSReportingTbs");
    page.resize(kPageWidth, 520);
    auto* layout = new QVBoxLayout(&page);
    auto* phones = new TTelephonesForReportingFra(&page);
    auto* texts = new TSMSTextFra(&page);
    auto* panel = new TPanelTypeFra(&page);
    auto* sms = new TSmsLanguageFrm(&page);
    auto* pgm = new TPGMModeFra(&language, &page);
    auto* connection = new TConnectionSettingsFra(&page);
    auto* code = new TIntEdit(&page);
    code->setObjectName("AccessCodeEdt");
    code->SetMaxLength(4);
    code->SetMaxValue(9999);
    for (QWidget* w :
         std::initializer_list<QWidget*>{phones, texts, panel, sms, pgm, connection, code})
      layout->addWidget(w);
    layout->addStretch(1);
    language.TranslateChildren(&page);
    TDataNode phone("", "090"), flags("", "094"), alarm("", "300");
    phones->SetPhoneNumber(&phone, "+37060012345");
    phones->SetReportFlags(&flags, "0011");
    texts->SetAlarmText(&alarm, "Burglary zone 1");
    TDataNodeHandler panels, languages;
    panels.SetByCode("600", "01-Contact ID");
    languages.SetByCode("800", "02-Deutsch");
    panel->SetPanelType("01");
    panel->FillPanelTypes(&panels);
    sms->SetSmsLanguage("02");
    sms->FillSmsLanguages(&languages);
    pgm->FillPgmModes();
    pgm->SetPgmMode("01");
    Save(page, out, "v1-page-editors");
  }
  return 0;
}
