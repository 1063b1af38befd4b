#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <set>

#include "i18n/LanguageFile.h"
#include "i18n/LanguageSelectionComboBoxFrame.h"
#include "i18n/Q_Language.h"
#include "i18n/TreeItemKey.h"
#include "platform/GridColumn.h"
#include "platform/StyledLabel.h"
#include "platform/TabSheet.h"
#include "platform/Text.h"
#include "support/FakeMessageService.h"
#include "support/ShippedLanguage.h"
#include "tools/LanguageSource.h"

namespace {

std::string Int(std::int32_t v) {
  std::string out;
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i)));
  return out;
}
std::string Str(const std::string& s) {
  return Int(static_cast<std::int32_t>(s.size())) + s;
}

// English and Deutsch, written byte by byte as the format says.
std::string Fixture() {
  std::string f = Int(2) + Str("English") + Str("Deutsch") + Int(6);
  f += Str("MainForm") + Str("Main window") + Str("Hauptfenster");
  f += Str("Read") + Str("Read") + Str("Lesen");
  f += Str("twice") + Str("first") + Str("erstes");
  f += Str("TWICE") + Str("second") + Str("zweites");
  f += Str("zero") + Str(std::string("ab\0cd", 5)) + Str("x");
  f += Str("Language") + Str("Language") + Str("Sprache");
  return f;
}

class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() : Hive(Dir.path() + "/registry.reg"), Language(Messages, Dir.path(), Hive) {}
  void WriteFile(const std::string& bytes, const QString& name = "QLanguage.lng") {
    QFile f(Dir.path() + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  void SetRegistry(const std::string& name) {
    TRegistry r(Hive);
    ASSERT_TRUE(r.OpenKey("\\Software\\Selvane", true));
    ASSERT_TRUE(r.WriteString("Language", name));
  }
  std::string RegistryValue() {
    TRegistry r(Hive);
    return r.OpenKey("Software\\Selvane", false) ? r.ReadString("Language").value_or("") : "<none>";
  }

  QTemporaryDir Dir;
  TFileRegistryHive Hive;
  TFakeMessageService Messages;
  TQLanguage Language;
};

}  // namespace

TEST_F(LanguageTest, ChoosesTheLanguageFromTheRegistry) {
  WriteFile(Fixture());
  ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));
  EXPECT_EQ(Language.LanguageName, "English");
  EXPECT_EQ(Language.LanguageNames, (std::vector<std::string>{"English", "Deutsch"}));
  EXPECT_EQ(Language.Translate("Read"), "Read");

  SetRegistry("Deutsch");
  ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));
  EXPECT_EQ(Language.LanguageName, "Deutsch");
  EXPECT_EQ(Language.Translate("Read"), "Lesen");

  SetRegistry("deutsch");  // names compare exactly
  ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));
  EXPECT_EQ(Language.LanguageName, "English");
  EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(LanguageTest, TranslateRules) {
  WriteFile(Fixture());
  ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));
  const int count = Language.Texts.Count();
  EXPECT_EQ(Language.Translate("Missing"), "?Missing?");
  EXPECT_EQ(Language.Translate("Missing"), "?Missing?");
  EXPECT_EQ(Language.Texts.Count(), count + 1);
  EXPECT_EQ(Language.Translate("READ"), "Read");    // keys ignore case
  EXPECT_EQ(Language.Translate("twice"), "first");  // the first of two
  EXPECT_EQ(Language.Translate("zero"), "ab");      // a zero byte ends a text
  EXPECT_EQ(TQLanguage::ComponentKey("ExitMenuMmi"), "ExitMenu");
  EXPECT_EQ(TQLanguage::ComponentKey("AccountLa1"), "Account");
  EXPECT_EQ(TQLanguage::ComponentKey("Ab"), "");
}

TEST_F(LanguageTest, MissingFileKeepsWhatWasLoaded) {
  EXPECT_FALSE(Language.LoadLanguage("QLanguage.lng"));
  EXPECT_EQ(Messages.Messages, std::vector<std::string>{"Language file not found"});
  EXPECT_EQ(Language.Translate("Read"), "?Read?");
  WriteFile(Fixture(), "other.lng");
  ASSERT_TRUE(Language.LoadLanguage("other.lng"));
  EXPECT_FALSE(Language.LoadLanguage("QLanguage.lng"));
  EXPECT_EQ(Language.Translate("Read"), "Read");
}

TEST_F(LanguageTest, DamagedFilesAreRefusedWhole) {
  const std::string good = Fixture();
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"cut in a count", good.substr(0, 2)},
      {"cut in a name", good.substr(0, 10)},
      {"cut in the entries", good.substr(0, good.size() - 3)},
      {"cut after a key", good.substr(0, 4 + 11 + 11 + 4 + 12)},
      {"negative language count", Int(-1)},
      {"negative entry count", Int(1) + Str("English") + Int(-5)},
      {"length above 255", Int(1) + Int(256) + std::string(256, 'x') + Int(0)},
      {"negative length", Int(1) + Int(-3) + Int(0)},
      {"huge language count", Int(0x7FFFFFFF) + Str("English")},
      {"huge entry count", Int(1) + Str("English") + Int(0x7FFFFFFF) + Str("k") + Str("t")},
  };
  for (const Case& c : cases) {
    Messages.Messages.clear();
    WriteFile(good);
    ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));
    WriteFile(c.bytes);
    EXPECT_FALSE(Language.LoadLanguage("QLanguage.lng")) << c.what;
    ASSERT_EQ(Messages.Messages.size(), 1u) << c.what;
    EXPECT_EQ(Messages.Messages[0].rfind("Language file damaged", 0), 0u) << Messages.Messages[0];
    // Nothing of the damaged file was taken.
    EXPECT_EQ(Language.Translate("Read"), "Read") << c.what;
    EXPECT_EQ(Language.LanguageNames.size(), 2u) << c.what;
  }
  // A file that exists but cannot be read.
  QFile::remove(Dir.path() + "/QLanguage.lng");
  QDir().mkdir(Dir.path() + "/QLanguage.lng");
  Messages.Messages.clear();
  EXPECT_FALSE(Language.LoadLanguage("QLanguage.lng"));
  ASSERT_EQ(Messages.Messages.size(), 1u);
  EXPECT_EQ(Messages.Messages[0].rfind("Language file damaged", 0), 0u);
}

TEST_F(LanguageTest, WidgetTranslationRules) {
  std::string f = Int(1) + Str("English") + Int(0);
  WriteFile(f);
  ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));

  QWidget form;
  form.setObjectName("MainFormFrm");
  auto make = [&](auto* w, const char* name, QWidget* parent = nullptr) {
    w->setParent(parent ? parent : &form);
    w->setObjectName(name);
    return w;
  };
  auto* label = make(new QLabel("x"), "ReadLab");
  auto* noLang = make(new QLabel("kept"), "NoLangLabel1");
  auto* blink = make(new QLabel("kept"), "NewEventBlinkLabel");
  auto* button = make(new QPushButton("x"), "ReadBtn");
  auto* check = make(new QCheckBox("x"), "SaveAccessCodeChk");
  auto* radio = make(new QRadioButton("x"), "FirstRbt");
  auto* speed = make(new QToolButton(), "ConnectSbt");
  auto* group = make(new QGroupBox("x"), "OptionsGrb");
  auto* noText = make(new QGroupBox("kept"), "NoTextGrb");
  auto* noLangGroup = make(new QGroupBox("kept"), "NoLangBoxGrb");
  auto* edit = make(new QLineEdit("kept"), "AccountNameEdt");
  auto* spin = make(new QSpinBox(), "TestTimeSpn");
  auto* combo = make(new QComboBox(), "PGMCmb");
  combo->addItem("kept");
  auto* page = make(new TTabSheet(), "settingsTb1");
  auto* styled = make(new TStyledLabel(), "NoLangCapSlb");
  auto* frame = make(new QFrame(), "InnerFra");
  auto* inner = make(new QLabel("x"), "InnerLab", frame);
  auto* inGroup = make(new QLabel("x"), "GroupedLab", group);
  auto* tree = make(new QTreeWidget(), "MainTreeView");
  auto* item = new QTreeWidgetItem(tree, QStringList("x"));
  item->setData(0, kTreeItemKeyRole, "SettingsTvi");
  auto* bar = make(new QMenuBar(), "MainMenuMmm");
  auto* menu = make(new QMenu(), "FileMenuMmi", bar);
  auto* exit = menu->addAction("x");
  exit->setObjectName("ExitMenuMmi");
  auto* separator = menu->addSeparator();
  separator->setObjectName("N1Mmi");
  auto* dash = menu->addAction("-");
  dash->setObjectName("N2Mmi");
  auto* grid = make(new QTableWidget(), "inputGrd");
  auto* textColumn = new TGridColumn(TGridColumn::TKind::Text, "inputNtc", grid);
  auto* checkColumn = new TGridColumn(TGridColumn::TKind::CheckBox, "smsNB1", grid);
  auto* otherColumn = new TGridColumn(TGridColumn::TKind::Other, "numberNxc", grid);

  Language.RegisterForm(&form);
  EXPECT_EQ(form.windowTitle(), "?MainForm?");
  EXPECT_EQ(label->text(), "?Read?");
  EXPECT_EQ(noLang->text(), "kept");
  EXPECT_EQ(blink->text(), "kept");
  EXPECT_EQ(button->text(), "?Read?");
  EXPECT_EQ(check->text(), "?SaveAccessCode?");
  EXPECT_EQ(radio->text(), "?First?");
  EXPECT_EQ(speed->text(), "?Connect?");
  EXPECT_EQ(group->title(), "?Options?");
  EXPECT_EQ(noText->title(), "kept");
  EXPECT_EQ(noLangGroup->title(), "kept");
  EXPECT_EQ(edit->text(), "kept");
  EXPECT_EQ(spin->value(), 0);
  EXPECT_EQ(combo->itemText(0), "kept");
  EXPECT_EQ(page->Caption(), "?settings?");
  EXPECT_EQ(styled->text(), "?NoLangCap?");
  EXPECT_EQ(inner->text(), "?Inner?");
  EXPECT_EQ(inGroup->text(), "?Grouped?");
  EXPECT_EQ(item->text(0), "?SettingsTvi?");
  EXPECT_EQ(menu->title(), "?FileMenu?");
  EXPECT_EQ(exit->text(), "?ExitMenu?");
  EXPECT_TRUE(separator->isSeparator());
  EXPECT_EQ(dash->text(), "-");
  EXPECT_EQ(textColumn->Header(), "?input?");
  EXPECT_EQ(checkColumn->Header(), "?sms?");
  EXPECT_EQ(otherColumn->Header(), "");

  // Registered already: not translated again; after unregistering it is.
  label->setText("changed");
  Language.RegisterForm(&form);
  EXPECT_EQ(label->text(), "changed");
  Language.UnregisterForm(&form);
  Language.RegisterForm(&form);
  EXPECT_EQ(label->text(), "?Read?");
}

TEST_F(LanguageTest, SelectorSwitchesTheLanguage) {
  WriteFile(Fixture());
  ASSERT_TRUE(Language.LoadLanguage("QLanguage.lng"));
  QWidget form;
  form.setObjectName("MainFormFrm");
  auto* frame = new TLanguageSelectionComboBoxFra(&form);
  auto* read = new QLabel(&form);
  read->setObjectName("ReadLab");
  Language.RegisterForm(&form);
  EXPECT_EQ(frame->LanguageLab->text(), "Language");

  std::vector<TQLanguage*> changed;
  frame->OnLanguageChanged = [&](TQLanguage* m) { changed.push_back(m); };
  frame->SetLanguage(&Language);  // filling is no choice
  EXPECT_EQ(frame->ChooseLanguageCmb->count(), 2);
  EXPECT_EQ(frame->ChooseLanguageCmb->currentText(), "English");
  EXPECT_FALSE(frame->Filling);
  EXPECT_TRUE(changed.empty());
  EXPECT_EQ(RegistryValue(), "<none>");

  frame->ChooseLanguageCmbChange();  // the loaded language chosen again
  EXPECT_TRUE(changed.empty());
  EXPECT_EQ(RegistryValue(), "<none>");

  frame->ChooseLanguageCmb->setCurrentIndex(1);
  EXPECT_EQ(RegistryValue(), "Deutsch");
  EXPECT_EQ(Language.LanguageName, "Deutsch");
  EXPECT_EQ(read->text(), "Lesen");
  EXPECT_EQ(form.windowTitle(), "Hauptfenster");
  EXPECT_EQ(frame->LanguageLab->text(), "Sprache");
  EXPECT_EQ(changed, std::vector<TQLanguage*>{&Language});
}

TEST(LanguageSources, EveryLanguageHasEveryKey) {
  QDir dir(VX8_SOURCE_DIR "/lang");
  std::vector<TLanguageSource> sources;
  for (const QString& name : dir.entryList({"*.lang"}, QDir::Files, QDir::Name)) {
    TLanguageSource source;
    std::string error;
    ASSERT_TRUE(ReadLanguageSource(dir.filePath(name), source, error)) << error;
    sources.push_back(source);
  }
  ASSERT_GE(sources.size(), 2u);
  TLanguageFileData data;
  std::string error;
  EXPECT_TRUE(BuildLanguageFile(sources, data, error)) << error;

  // And the check itself catches a missing key.
  std::vector<TLanguageSource> broken = {sources[0], sources[1]};
  broken[1].Texts.pop_back();
  EXPECT_FALSE(BuildLanguageFile(broken, data, error));
  EXPECT_NE(error.find("lacks"), std::string::npos);
}

TEST(LanguageSources, EveryKeyTheCodeUsesIsThere) {
  TShippedLanguage shipped;
  ASSERT_TRUE(shipped.Loaded);
  TQLanguage& language = shipped.Language;
  std::set<std::string> known;
  for (int i = 0; i < language.Texts.Count(); ++i) known.insert(language.Texts.At(i).Key);

  // Keys written as literals: translations, result keys, error keys.
  const QRegularExpression literal(
      R"re((?:Translate(?:ToQ)?|Error|ResultKey =|ResultKeyOf)\(?\s*"([A-Za-z0-9_]+)")re");
  std::set<std::string> missing;
  for (const char* folder :
       {"app", "editors", "firmware", "i18n", "link", "model", "settings", "codec"}) {
    QDirIterator it(QString(VX8_SOURCE_DIR "/") + folder, {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QFile f(it.next());
      ASSERT_TRUE(f.open(QIODevice::ReadOnly));
      auto matches = literal.globalMatch(QString::fromUtf8(f.readAll()));
      while (matches.hasNext()) {
        const std::string key = matches.next().captured(1).toStdString();
        if (!known.count(key)) missing.insert(key + " (" + it.fileName().toStdString() + ")");
      }
    }
  }
  EXPECT_TRUE(missing.empty()) << [&] {
    std::string all;
    for (const auto& k : missing) all += k + " ";
    return all;
  }();
  // The selector, walked as the settings page will hold it.
  QWidget form;
  form.setObjectName("MainFormFrm");
  new TLanguageSelectionComboBoxFra(&form);
  language.RegisterForm(&form);
  EXPECT_EQ(shipped.MissingKeys(), std::vector<std::string>{});
}
