#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "editors/ComportSettingsFrame.h"
#include "editors/ConnectionSettingsFrame.h"
#include "editors/NumEdit.h"
#include "editors/PGMModeFrame.h"
#include "editors/PanelTypeFrame.h"
#include "editors/SMSTextFrame.h"
#include "editors/SmsLanguageFrame.h"
#include "editors/TelephonesForReportingFrame.h"
#include "editors/notificationsFram.h"
#include "i18n/LanguageFile.h"
#include "platform/TabSheet.h"
#include "support/FakeLink.h"
#include "support/FakeMessageService.h"
#include "support/ShippedLanguage.h"

namespace {

// A node with only a code, as the frames' accessors receive it.
TDataNode Node(const std::string& code) {
  return TDataNode("", code);
}

std::string Column(const TGrid& grid, int column) {
  std::string s;
  for (int row = 0; row < grid.rowCount(); ++row) s += grid.CellChecked(column, row) ? '1' : '0';
  return s;
}

void Click(TGrid& grid, int column, int row) {
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                    grid.visualRect(grid.model()->index(row, column)).center());
}

// Opens the in-place editor of a cell, types, and commits with Enter.
bool TypeIntoCell(TGrid& grid, int column, int row, const QString& keys, bool clear = true) {
  grid.setCurrentCell(row, column);
  grid.editItem(grid.item(row, column));
  QLineEdit* editor = nullptr;
  for (QLineEdit* e : grid.viewport()->findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  if (!editor) return false;
  if (clear) editor->clear();
  QTest::keyClicks(editor, keys);
  QTest::keyClick(editor, Qt::Key_Return);
  // The view commits and closes its editor through queued calls.
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return true;
}

// A language manager on a small file of English and Deutsch.
struct TLanguageFixture {
  TLanguageFixture() : Hive(Dir.path() + "/registry.reg"), Language(Messages, Dir.path(), Hive) {
    TLanguageFileData data{{"English", "Deutsch"},
                           {{"PGMctrlOutput", {"Controlled", "Gesteuert"}},
                            {"PGMfromInputs", {"From inputs", "Von Eingaengen"}},
                            {"in1", {"Input 1", "Eingang 1"}},
                            {"lp", {"Low power", "Unterspannung"}},
                            {"phone1", {"Phone 1", "Telefon 1"}}}};
    std::string bytes, error;
    WriteLanguageFile(data, bytes, error);
    QFile f(Dir.path() + "/QLanguage.lng");
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    f.close();
    Language.LoadLanguage("QLanguage.lng");
  }
  void Choose(const std::string& name) {
    TRegistry r(Hive);
    r.OpenKey(TQLanguage::kRegistryKey, true);
    r.WriteString(TQLanguage::kRegistryValue, name);
    Language.LoadLanguage("QLanguage.lng");
  }
  QTemporaryDir Dir;
  TFileRegistryHive Hive;
  TFakeMessageService Messages;
  TQLanguage Language;
};

class NotificationsTest : public ::testing::Test {
 protected:
  NotificationsTest() : Frame(&L.Language) { Frame.show(); }
  TGrid& Matrix() { return *Frame.notificationChecksGrd; }
  QLineEdit& Phone(int k) { return *Frame.phoneEdt[static_cast<std::size_t>(k - 1)]; }
  TLanguageFixture L;
  TnotificationsFrame Frame;
};

}  // namespace

TEST_F(NotificationsTest, ResetState) {
  EXPECT_EQ(Matrix().rowCount(), 14);
  EXPECT_EQ(Matrix().ColumnCount(), 8);
  EXPECT_EQ(Frame.GetNotificationFlags(&(const TDataNode&)Node("350")), "00000000");
  EXPECT_EQ(Frame.inputGrd->CellText(0, 0), "Input 1");
  EXPECT_EQ(Frame.inputGrd->CellText(0, 4), "?mci?");
  EXPECT_EQ(Frame.eventsGrd->CellText(0, 0), "Low power");
  EXPECT_EQ(Phone(1).placeholderText(), "Phone 1");
  for (bool empty : Frame.phoneEmpty) EXPECT_TRUE(empty);
  // The ACK row's call cells are covered.
  for (int k = 0; k < 4; ++k)
    EXPECT_NE(Matrix().indexWidget(Matrix().model()->index(13, 2 * k + 1)), nullptr);
  EXPECT_EQ(Matrix().indexWidget(Matrix().model()->index(13, 0)), nullptr);
}

TEST_F(NotificationsTest, NotificationFlags) {
  const TDataNode restore = Node("451"), event = Node("353"), notANumber = Node("ACK");
  Frame.SetNotificationFlags(&restore, "10100001");
  EXPECT_TRUE(Matrix().CellChecked(0, 3));  // smsNB1
  EXPECT_TRUE(Matrix().CellChecked(2, 3));  // smsNB2
  EXPECT_TRUE(Matrix().CellChecked(7, 3));  // CallNB4
  EXPECT_FALSE(Matrix().CellChecked(1, 3));
  EXPECT_EQ(Frame.GetNotificationFlags(&restore), "10100001");

  for (const char* ignored : {"1111111", "111111111", ""}) {
    Frame.SetNotificationFlags(&restore, ignored);
    EXPECT_EQ(Frame.GetNotificationFlags(&restore), "10100001") << ignored;
  }
  Frame.SetNotificationFlags(&event, "1x1x1x1x");
  EXPECT_EQ(Frame.GetNotificationFlags(&event), "10101010");
  EXPECT_EQ(Column(Matrix(), 0).substr(6, 1), "1");  // 353 is row 6
  Frame.SetNotificationFlags(&notANumber, "11111111");
  EXPECT_EQ(Frame.GetNotificationFlags(&notANumber), "");
}

TEST_F(NotificationsTest, AckFlags) {
  const TDataNode ack = Node("098");
  Frame.SetAckFlags(&ack, "0101");
  EXPECT_EQ(Frame.GetAckFlags(&ack), "0101");
  EXPECT_TRUE(Matrix().CellChecked(2, 13));
  EXPECT_TRUE(Matrix().CellChecked(6, 13));
  EXPECT_FALSE(Matrix().CellChecked(0, 13));
  Frame.SetAckFlags(&ack, "1");  // shorter: the rest stay as they were
  EXPECT_EQ(Frame.GetAckFlags(&ack), "1101");
}

TEST_F(NotificationsTest, PhoneKeyFilter) {
  struct Case {
    QString before;
    int cursor;
    QString typed;
    QString after;
  };
  const Case cases[] = {
      {"", 0, "+", "+"},    {"123", 0, "+", "+123"}, {"123", 3, "+", "123"}, {"12", 1, "+", "12"},
      {"", 0, "a -x.", ""}, {"12", 2, "34", "1234"}, {"+1", 2, "+", "+1"},   {"", 0, "+4+9", "+49"},
  };
  for (const Case& c : cases) {
    Phone(3).setText(c.before);
    Phone(3).setCursorPosition(c.cursor);
    QTest::keyClicks(&Phone(3), c.typed);
    EXPECT_EQ(Phone(3).text(), c.after) << c.before.toStdString() << " + " << c.typed.toStdString();
  }
  Phone(3).setText("12");
  QTest::keyClick(&Phone(3), Qt::Key_Backspace);
  EXPECT_EQ(Phone(3).text(), "1");
  // A selection starting at 0 counts as the caret at the start.
  Phone(3).setText("99");
  Phone(3).selectAll();
  QTest::keyClicks(&Phone(3), "+");
  EXPECT_EQ(Phone(3).text(), "+");
}

TEST_F(NotificationsTest, PhoneNumbers) {
  const std::pair<QString, std::string> cases[] = {{"+1234567", "1234567"},
                                                   {"++123", "+123"},
                                                   {"12345678901234567890", "123456789012345"},
                                                   {"", ""}};
  const TDataNode phone1 = Node("090");
  for (const auto& [shown, given] : cases) {
    Phone(1).setText(shown);
    EXPECT_EQ(Frame.GetPhoneNumber(&phone1), given);
  }
  const TDataNode phone4 = Node("093"), notAPhone = Node("094");
  Frame.SetPhoneNumber(&phone4, "+49 x");
  EXPECT_EQ(Phone(4).text(), "+49 x");  // written unchanged
  Frame.SetPhoneNumber(&notAPhone, "1");
  EXPECT_EQ(Frame.GetPhoneNumber(&notAPhone), "");

  Frame.ResetGrids();
  Phone(1).clear();
  Frame.SetPhoneNumber(&phone1, "");
  EXPECT_EQ(Phone(1).text(), "");
  EXPECT_TRUE(Frame.phoneEmpty[0]);
}

TEST_F(NotificationsTest, FirstNumberFillsAnUncheckedPhone) {
  QTest::keyClicks(&Phone(2), "6");
  EXPECT_EQ(Column(Matrix(), 2), std::string(14, '1'));
  EXPECT_EQ(Column(Matrix(), 3), std::string(13, '1') + "0");
  EXPECT_EQ(Column(Matrix(), 0), std::string(14, '0'));

  Matrix().SetCellChecked(2, 4, false);
  QTest::keyClicks(&Phone(2), "78");
  EXPECT_EQ(Column(Matrix(), 2)[4], '0');  // more digits fill nothing

  Phone(2).clear();
  QTest::keyClicks(&Phone(2), "5");
  EXPECT_EQ(Column(Matrix(), 2)[4], '0');  // some check still set: no fill

  // A single call check set by a click keeps phone 1 from filling.
  Click(Matrix(), 1, 5);
  ASSERT_TRUE(Matrix().CellChecked(1, 5));
  QTest::keyClicks(&Phone(1), "1");
  EXPECT_EQ(Column(Matrix(), 0), std::string(14, '0'));
  EXPECT_EQ(Column(Matrix(), 1), "00000100000000");

  // Flags that arrive after a number overwrite its fill.
  Frame.ResetGrids();
  const TDataNode phone3 = Node("092"), in1 = Node("350");
  Phone(3).clear();
  Frame.SetPhoneNumber(&phone3, "123");
  EXPECT_EQ(Column(Matrix(), 4), std::string(14, '1'));
  Frame.SetNotificationFlags(&in1, "00000000");
  EXPECT_EQ(Column(Matrix(), 4)[0], '0');

  // A reset keeps the edits' texts; the same number set again still runs
  // the change rule and fills the phone.
  Frame.ResetGrids();
  ASSERT_EQ(Phone(3).text(), "123");
  Frame.SetPhoneNumber(&phone3, "123");
  EXPECT_EQ(Column(Matrix(), 4), std::string(14, '1'));
}

TEST_F(NotificationsTest, MatrixClicksToggle) {
  Click(Matrix(), 0, 0);
  EXPECT_TRUE(Matrix().CellChecked(0, 0));
  Click(Matrix(), 0, 0);
  EXPECT_FALSE(Matrix().CellChecked(0, 0));
  Click(Matrix(), 6, 13);  // the ACK SMS cell of phone 4
  EXPECT_TRUE(Matrix().CellChecked(6, 13));
}

TEST_F(NotificationsTest, EventAndRestoreTexts) {
  const std::string long40(40, 'x');
  const TDataNode test = Node("306"), lpRestore = Node("405"), in2 = Node("301");
  Frame.SetEventText(&test, long40);
  EXPECT_EQ(Frame.eventsGrd->CellText(1, 1).toStdString(), long40);
  EXPECT_EQ(Frame.GetEventText(&test), std::string(31, 'x'));
  Frame.SetRestoreText(&lpRestore, "Power back");
  EXPECT_EQ(Frame.eventsGrd->CellText(2, 0), "Power back");
  Frame.SetEventText(&in2, "Door \xE4");
  EXPECT_EQ(Frame.inputGrd->CellText(1, 1), QString::fromLatin1("Door \xE4"));
  EXPECT_EQ(Frame.GetEventText(&in2), "Door \xE4");

  EXPECT_FALSE(Frame.eventsGrdBeforeEdit(2, 1));
  EXPECT_TRUE(Frame.eventsGrdBeforeEdit(2, 0));
  EXPECT_FALSE(TypeIntoCell(*Frame.eventsGrd, 2, 1, "no"));  // the test row has no restore
  EXPECT_EQ(Frame.eventsGrd->CellText(2, 1), "");
  ASSERT_TRUE(TypeIntoCell(*Frame.eventsGrd, 2, 0, "Mains back"));
  EXPECT_EQ(Frame.eventsGrd->CellText(2, 0), "Mains back");
  // Typing stops at 31 characters.
  ASSERT_TRUE(TypeIntoCell(*Frame.inputGrd, 1, 0, QString(35, 'y')));
  EXPECT_EQ(Frame.inputGrd->CellText(1, 0), QString(31, 'y'));
}

TEST(TelephonesForReporting, FlagsAndNumbers) {
  TTelephonesForReportingFra frame;
  frame.show();
  const TDataNode phone1 = Node("090"), flags1 = Node("094"), flags2 = Node("095");
  EXPECT_EQ(frame.GetReportFlags(&flags1), "0000");
  EXPECT_EQ(frame.GetPhoneNumber(&phone1), "");
  EXPECT_EQ(frame.TelephonesGrd->CellText(0, 3), "T4");
  EXPECT_TRUE(frame.TelephonesGrd->isColumnHidden(0));

  frame.SetReportFlags(&flags2, "1000");
  EXPECT_TRUE(frame.TelephonesGrd->CellChecked(5, 1));
  EXPECT_FALSE(frame.TelephonesGrd->CellChecked(2, 1));
  EXPECT_EQ(frame.GetReportFlags(&flags2), "1000");
  frame.SetReportFlags(&flags2, "0001");
  EXPECT_TRUE(frame.TelephonesGrd->CellChecked(2, 1));
  EXPECT_FALSE(frame.TelephonesGrd->CellChecked(5, 1));
  EXPECT_EQ(frame.GetReportFlags(&flags2), "0001");
  frame.SetReportFlags(&flags2, "1");  // shorter: only T4 is covered
  EXPECT_EQ(frame.GetReportFlags(&flags2), "1001");
  frame.SetReportFlags(&flags2, "01x01");  // past the fourth: ignored
  EXPECT_EQ(frame.GetReportFlags(&flags2), "0100");

  const std::pair<std::string, std::string> numbers[] = {
      {"+1234567", "1234567"}, {"++1", "+1"}, {std::string(25, '7'), std::string(25, '7')}};
  for (const auto& [set, got] : numbers) {
    frame.SetPhoneNumber(&phone1, set);
    EXPECT_EQ(frame.TelephonesGrd->CellText(1, 0).toStdString(), set);
    EXPECT_EQ(frame.GetPhoneNumber(&phone1), got);
  }

  // The in-place editor filters what is typed.
  ASSERT_TRUE(TypeIntoCell(*frame.TelephonesGrd, 1, 2, "+12a 3+"));
  EXPECT_EQ(frame.TelephonesGrd->CellText(1, 2), "+123");
  EXPECT_EQ(frame.TelephonesGrd->viewport()->findChild<QLineEdit*>("NxEdit1"), nullptr);  // closed
  Click(*frame.TelephonesGrd, 3, 0);
  EXPECT_EQ(frame.GetReportFlags(&flags1), "0010");
}

TEST(SMSText, TextsAreGivenWhole) {
  TSMSTextFra frame;
  frame.show();
  const TDataNode alarm6 = Node("305"), restore1 = Node("400");
  EXPECT_EQ(frame.SMSTextGrd->CellText(0, 5), "6");
  frame.SetAlarmText(&alarm6, std::string(40, 'a'));
  EXPECT_EQ(frame.SMSTextGrd->CellText(1, 5), QString(40, 'a'));
  EXPECT_EQ(frame.GetAlarmText(&alarm6), std::string(40, 'a'));
  frame.SetRestoreText(&restore1, "Closed");
  EXPECT_EQ(frame.SMSTextGrd->CellText(2, 0), "Closed");
  EXPECT_EQ(frame.GetRestoreText(&restore1), "Closed");
  ASSERT_TRUE(TypeIntoCell(*frame.SMSTextGrd, 1, 0, QString(40, 'b')));
  EXPECT_EQ(frame.SMSTextGrd->CellText(1, 0), QString(32, 'b'));
  frame.ResetGrids();
  EXPECT_EQ(frame.GetAlarmText(&alarm6), "");
}

TEST(Selectors, PanelTypeFillAndSelection) {
  TDataNodeHandler list;
  list.SetByCode("600", "01-First");
  list.SetByCode("601", "02-Second");
  TPanelTypeFra frame;
  EXPECT_EQ(frame.GetPanelType(), "");
  frame.SetPanelType("02");
  EXPECT_EQ(frame.PanelTypesCmb()->count(), 0);  // only recorded
  frame.FillPanelTypes(&list);
  ASSERT_EQ(frame.PanelTypesCmb()->count(), 2);
  EXPECT_EQ(frame.PanelTypesCmb()->itemText(0), "First");
  EXPECT_EQ(frame.PanelTypesCmb()->currentText(), "Second");
  EXPECT_EQ(frame.GetPanelType(), "02");
  frame.SetPanelType("01");
  EXPECT_EQ(frame.GetPanelType(), "02");
  frame.FillPanelTypes(&list);
  EXPECT_EQ(frame.GetPanelType(), "01");

  TDataNodeHandler odd;
  odd.SetByCode("600", "7");
  odd.SetByCode("601", "03");
  frame.SetPanelType("7");
  frame.FillPanelTypes(&odd);
  EXPECT_EQ(frame.PanelTypesCmb()->itemText(0), "");
  EXPECT_EQ(frame.PanelTypesCmb()->itemText(1), "");
  EXPECT_EQ(frame.GetPanelType(), "7");
  frame.SetPanelType("99");
  frame.FillPanelTypes(&odd);
  EXPECT_EQ(frame.PanelTypesCmb()->currentIndex(), -1);
  EXPECT_EQ(frame.GetPanelType(), "");
}

TEST(Selectors, SmsLanguageWorksAlike) {
  TDataNodeHandler list;
  list.SetByCode("800", "01-English");
  list.SetByCode("801", "02-Deutsch");
  list.SetByCode("802", "02-Doppelt");
  TSmsLanguageFrm frame;
  frame.SetSmsLanguage("02");
  frame.FillSmsLanguages(&list);
  EXPECT_EQ(frame.SMSlanguageCmb()->currentText(), "Doppelt");  // the last match
  EXPECT_EQ(frame.GetSmsLanguage(), "02");
  EXPECT_EQ(frame.objectName(), "SmsLanguageFrm");
}

TEST(Selectors, PgmMode) {
  TLanguageFixture l;
  TPGMModeFra frame(&l.Language);
  EXPECT_EQ(frame.GetPgmMode(), "");
  frame.FillPgmModes();
  ASSERT_EQ(frame.PGMCmb->count(), 2);
  EXPECT_EQ(frame.PGMCmb->itemText(0), "Controlled");
  EXPECT_EQ(frame.GetPgmMode(), "");  // filling selects nothing
  frame.SetPgmMode("01");
  EXPECT_EQ(frame.GetPgmMode(), "01");
  for (const char* ignored : {"1", "02", ""}) {
    frame.SetPgmMode(ignored);
    EXPECT_EQ(frame.GetPgmMode(), "01") << ignored;
  }
  l.Choose("Deutsch");
  frame.FillPgmModes();
  EXPECT_EQ(frame.PGMCmb->count(), 2);
  EXPECT_EQ(frame.PGMCmb->itemText(0), "Gesteuert");
  EXPECT_EQ(frame.PGMCmb->itemText(1), "Von Eingaengen");
  EXPECT_EQ(frame.GetPgmMode(), "01");
  frame.SetPgmMode("00");
  EXPECT_EQ(frame.PGMCmb->currentIndex(), 0);
}

TEST(Selectors, ConnectionSettings) {
  TConnectionSettingsFra frame;
  frame.show();
  EXPECT_FALSE(frame.SaveAccessCode());
  EXPECT_FALSE(frame.RestoreBtn->isEnabled());
  const QPoint indicator(6, frame.SaveAccessCodeChk->height() / 2);
  QTest::mouseClick(frame.SaveAccessCodeChk, Qt::LeftButton, {}, indicator);
  EXPECT_TRUE(frame.SaveAccessCodeChk->isChecked());
  EXPECT_TRUE(frame.SaveAccessCode());
  QTest::mouseClick(frame.SaveAccessCodeChk, Qt::LeftButton, {}, indicator);
  EXPECT_FALSE(frame.SaveAccessCode());
  frame.SetSaveAccessCode(true);
  EXPECT_TRUE(frame.SaveAccessCodeChk->isChecked());
  EXPECT_TRUE(frame.SaveAccessCode());
  frame.SetReadAfterConnect(true);
  EXPECT_TRUE(frame.GetReadAfterConnect());
  EXPECT_TRUE(frame.ReadAfterConnectChk->isChecked());
}

namespace {

class IntEditTest : public ::testing::Test {
 protected:
  IntEditTest() {
    Edit.Beep = [this] { ++Beeps; };
    Edit.SetMaxLength(4);
    Edit.SetMaxValue(9999);
  }
  void Leave() {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&Edit, &out);
  }
  TIntEdit Edit;
  int Beeps = 0;
};

}  // namespace

TEST_F(IntEditTest, KeyFilter) {
  EXPECT_EQ(Edit.text(), "0");
  EXPECT_FALSE(Edit.HexMode());
  Edit.clear();
  QTest::keyClicks(&Edit, "a");
  EXPECT_EQ(Edit.text(), "");
  EXPECT_EQ(Beeps, 1);
  QTest::keyClicks(&Edit, "12345");  // the fifth digit cannot be typed
  EXPECT_EQ(Edit.text(), "1234");
  EXPECT_EQ(Beeps, 1);
  QTest::keyClick(&Edit, Qt::Key_Backspace);
  EXPECT_EQ(Edit.text(), "123");
  QTest::keyClick(&Edit, Qt::Key_C, Qt::ControlModifier);  // a control character
  EXPECT_EQ(Beeps, 2);

  Edit.SetHexMode(true);  // 123 -> 7B
  EXPECT_EQ(Edit.text(), "7B");
  QTest::keyClicks(&Edit, "af");
  EXPECT_EQ(Edit.text(), "7BAF");
  QTest::keyClicks(&Edit, "g");
  EXPECT_EQ(Beeps, 3);
}

TEST_F(IntEditTest, LeavingTheField) {
  int exits = 0, enters = 0;
  QObject::connect(&Edit, &TIntEdit::Exited, [&] { ++exits; });
  QObject::connect(&Edit, &TIntEdit::Entered, [&] { ++enters; });
  Edit.clear();
  Leave();
  EXPECT_EQ(Edit.text(), "0");
  EXPECT_EQ(exits, 1);

  Edit.setText("12345");  // the program's text may be longer and larger
  EXPECT_EQ(Edit.text(), "12345");
  QFocusEvent in(QEvent::FocusIn);
  QApplication::sendEvent(&Edit, &in);
  EXPECT_EQ(enters, 1);
  Leave();
  EXPECT_EQ(Edit.text(), "9999");

  Edit.setText("-5");  // no lower bound
  Leave();
  EXPECT_EQ(Edit.text(), "-5");
  Edit.setText("abc");  // not a number: stays
  Leave();
  EXPECT_EQ(Edit.text(), "abc");
}

TEST_F(IntEditTest, ValuesAndModes) {
  Edit.setText("250");
  Edit.SetMaxValue(100);
  EXPECT_EQ(Edit.text(), "100");
  Edit.SetMaxValue(99999999);

  Edit.setText("255");
  Edit.SetHexMode(true);
  EXPECT_EQ(Edit.text(), "FF");
  Edit.SetHexMode(false);
  EXPECT_EQ(Edit.text(), "255");
  Edit.SetHexMode(true);
  Edit.setText("1G");
  Edit.SetHexMode(false);
  EXPECT_EQ(Edit.text(), "0");
  Edit.setText("12");
  Edit.SetHexMode(false);
  EXPECT_EQ(Edit.text(), "12");

  struct Case {
    const char* text;
    bool hex;
    std::int64_t value;
  };
  const Case cases[] = {
      {"007", false, 7},
      {"", false, 0},
      {"12345678901", false, 0},
      {"2147483647", false, 2147483647},
      {"-2147483648", false, -2147483648LL},
      {"12a", false, 0},
      {" 12", false, 0},
      {"12 ", false, 0},
      {"+12", false, 12},
      {"-", false, 0},
      {"1-2", false, 0},
      {"ff", true, 255},
      {"FFFFFFFF", true, -1},
      {"7FFFFFFF", true, 2147483647},
      {"123456789", true, 0},
      {"", true, 0},
  };
  for (const Case& c : cases) {
    Edit.SetHexMode(c.hex);
    Edit.setText(c.text);
    EXPECT_EQ(Edit.Value(), c.value) << c.text;
  }
  Edit.SetHexMode(true);
  Edit.SetValue(-1);
  EXPECT_EQ(Edit.text(), "FFFFFFFFFFFFFFFF");
  Edit.SetValue(0);
  EXPECT_EQ(Edit.text(), "0");
  Edit.SetHexMode(false);
  Edit.SetValue(-42);
  EXPECT_EQ(Edit.text(), "-42");
}

TEST_F(IntEditTest, PastingKeepsToTheTypingLimit) {
  QGuiApplication::clipboard()->setText("123456");
  Edit.setText("");
  QTest::keyClick(&Edit, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Edit.text(), "1234");
  Edit.setText("9");
  Edit.setCursorPosition(0);
  QTest::keyClick(&Edit, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Edit.text(), "1239");

  // The context menu's Paste keeps to it as well.
  Edit.setText("");
  QMenu* menu = Edit.createStandardContextMenu();
  QAction* paste = nullptr;
  for (QAction* a : menu->actions())
    if (TIntEdit::IsPasteAction(*a)) paste = a;
  ASSERT_NE(paste, nullptr);
  delete menu;
  QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                          Edit.mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(&Edit, &event);
  QMenu* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible()) shown = m;
  ASSERT_NE(shown, nullptr);
  for (QAction* a : shown->actions())
    if (TIntEdit::IsPasteAction(*a)) a->trigger();
  shown->close();
  EXPECT_EQ(Edit.text(), "1234");

  // Text set by the program stays whole.
  Edit.setText("123456");
  EXPECT_EQ(Edit.text(), "123456");
}

TEST(EditorTexts, EveryFrameIsTranslatedFromTheShippedFile) {
  TShippedLanguage shipped;
  ASSERT_TRUE(shipped.Loaded);
  TQLanguage& language = shipped.Language;
  QWidget form;
  form.setObjectName("MainFormFrm");
  new TnotificationsFrame(&language, &form);
  new TTelephonesForReportingFra(&form);
  new TSMSTextFra(&form);
  new TPanelTypeFra(&form);
  new TSmsLanguageFrm(&form);
  auto* pgm = new TPGMModeFra(&language, &form);
  pgm->FillPgmModes();
  new TConnectionSettingsFra(&form);
  new TComportSettingsFra(&form);
  language.RegisterForm(&form);
  EXPECT_EQ(shipped.MissingKeys(), std::vector<std::string>{});
  auto* grid = form.findChild<TGrid*>("inputGrd");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Alarm SMS text");
  EXPECT_EQ(form.findChild<TStyledLabel*>("callLb2")->text(), "Call");
}

TEST(WidgetLookup, ByTypeFindsOnlyOurOwnClasses) {
  QWidget page;
  auto* table = new QTableWidget(&page);
  table->setObjectName("inputGrd");
  auto* label = new QLabel(&page);
  label->setObjectName("ackLbl");
  auto* edit = new QLineEdit(&page);
  edit->setObjectName("AccessCodeEdt");
  auto* sheet = new QWidget(&page);
  sheet->setObjectName("SettingsTbs");
  EXPECT_EQ(page.findChild<TGrid*>("inputGrd"), nullptr);
  EXPECT_EQ(page.findChild<TStyledLabel*>("ackLbl"), nullptr);
  EXPECT_EQ(page.findChild<TIntEdit*>("AccessCodeEdt"), nullptr);
  EXPECT_EQ(page.findChild<TTabSheet*>("SettingsTbs"), nullptr);
  EXPECT_EQ(qobject_cast<TGrid*>(table), nullptr);

  TnotificationsFrame frame(nullptr, &page);
  EXPECT_EQ(frame.findChild<TGrid*>("inputGrd"), frame.inputGrd);
  EXPECT_NE(frame.findChild<TStyledLabel*>("ackLbl"), nullptr);
  EXPECT_NE(frame.inputGrd->findChild<TGridColumn*>("eventMessageNt1"), nullptr);
  EXPECT_EQ(page.findChild<TnotificationsFrame*>(), &frame);
}

namespace {

class TListedPorts : public TPortLister {
 public:
  std::optional<QStringList> ListPorts() override { return Ports; }
  std::optional<QStringList> Ports = QStringList{"ttyS0", "ttyUSB0", "ttyUSB1"};
};

}  // namespace

TEST(ComportSettings, PickingAPortTakesEffectAndIsRemembered) {
  QTemporaryDir dir;
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  TListedPorts lister;
  TFakePort port;
  port.Name = "ttyUSB0";
  TLineSettings odd;
  odd.BaudRate = 19200;
  odd.StopBits = TLineSettings::TStopBits::Two;
  port.Settings = odd;
  TComportSettingsFra frame;
  frame.SetPortLister(&lister);
  frame.SetComPort(&port);
  EXPECT_EQ(frame.ComportPortCmb->currentText(), "ttyUSB0");
  EXPECT_EQ(frame.ComportBaudRateCmb->currentText(), "19200");
  EXPECT_TRUE(frame.ComportPortCmb->isVisibleTo(&frame));
  EXPECT_FALSE(frame.ComportBaudRateCmb->isVisibleTo(&frame));
  EXPECT_EQ(frame.ComportStopBitsCmb->ComPort(), nullptr);  // never bound

  QTest::keyClick(frame.ComportPortCmb, Qt::Key_Down);  // the user picks ttyUSB1
  EXPECT_EQ(port.Name, "ttyUSB1");
  EXPECT_EQ(port.Settings, odd);  // the line settings stay the port's own
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey("Software\\VX8config\\MainComport", false));
  EXPECT_EQ(registry.ReadString("Port"), "ttyUSB1");

  // A port the list lacks shows no choice; the list follows the system.
  port.Name = "ttyACM0";
  frame.UpdateSettings();
  EXPECT_EQ(frame.ComportPortCmb->currentIndex(), -1);
  frame.RefreshPortList({"ttyACM0", "ttyS0"});
  EXPECT_EQ(frame.ComportPortCmb->count(), 2);
  EXPECT_EQ(frame.ComportPortCmb->currentText(), "ttyACM0");
  qputenv("XDG_CONFIG_HOME", saved);
}
