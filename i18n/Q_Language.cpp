#include "i18n/Q_Language.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>
#include <QTreeWidget>

#include "i18n/LanguageFile.h"
#include "i18n/TreeItemKey.h"
#include "platform/GridColumn.h"
#include "platform/StyledLabel.h"
#include "platform/TabSheet.h"
#include "platform/Text.h"

namespace {

constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// Controls that hold no translated components of their own.
bool IsLeaf(const QObject* o) {
  return qobject_cast<const QAbstractButton*>(o) || qobject_cast<const QLabel*>(o) ||
         qobject_cast<const QLineEdit*>(o) || qobject_cast<const QAbstractSpinBox*>(o) ||
         qobject_cast<const QComboBox*>(o) || qobject_cast<const QProgressBar*>(o) ||
         (qobject_cast<const QAbstractScrollArea*>(o) && !qobject_cast<const QScrollArea*>(o));
}

void TranslateTreeItem(TQLanguage& language, QTreeWidgetItem* item) {
  const QString key = item->data(0, kTreeItemKeyRole).toString();
  if (!key.isEmpty()) item->setText(0, language.TranslateToQ(FromQ(key)));
  for (int i = 0; i < item->childCount(); ++i) TranslateTreeItem(language, item->child(i));
}

}  // namespace

TQLanguage::TQLanguage(TMessageService& messages, QString programDir, TRegistryHive& hive)
    : FMessages(messages),
      FProgramDir(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir),
      FHive(hive) {}

bool TQLanguage::LoadLanguage(const std::string& fileName) {
  const QString name = QString::fromLocal8Bit(fileName.c_str());
  const QString path = QFileInfo(name).isAbsolute() ? name : FProgramDir + "/" + name;
  if (!QFileInfo::exists(path)) {
    FMessages.ShowMessage("Language file not found");
    return false;
  }
  auto damaged = [&](const std::string& reason) {
    FMessages.ShowMessage("Language file damaged (" + fileName + ": " + reason + ")");
    return false;
  };
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    return damaged("it cannot be read");
  if (file.size() > kMaxFileSize) return damaged("it is larger than any language file");
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return damaged("it cannot be read");

  TLanguageFileData data;
  std::string error;
  if (!ParseLanguageFile(bytes.toStdString(), data, error)) return damaged(error);

  std::string chosen;
  TRegistry registry(FHive);
  if (registry.OpenKey(kRegistryKey, false))
    chosen = registry.ReadString(kRegistryValue).value_or("");
  std::size_t index = 0;
  for (std::size_t i = 0; i < data.Names.size(); ++i)
    if (data.Names[i] == chosen) index = i;

  Texts.Clear();
  LanguageNames = data.Names;
  if (!data.Names.empty()) LanguageName = data.Names[index];
  for (TLanguageEntry& entry : data.Entries)
    if (index < entry.Texts.size()) Texts.Add(entry.Key, {std::move(entry.Texts[index])});
  return true;
}

std::string TQLanguage::Translate(const std::string& key) {
  const int index = Texts.IndexOf(key);
  if (index >= 0) return Texts.At(index).Item.Text;
  const std::string missing = "?" + key + "?";
  Texts.Add(key, {missing});
  return missing;
}

QString TQLanguage::TranslateToQ(const std::string& key) {
  return ToQ(Translate(key));
}

std::string TQLanguage::ComponentKey(const QString& name) {
  return FromQ(name.left(std::max<qsizetype>(0, name.size() - 3)));
}

void TQLanguage::RegisterForm(QWidget* form) {
  if (!form || Forms.IndexOf(FromQ(form->objectName())) >= 0) return;
  Forms.Add(FromQ(form->objectName()), form);
  TranslateForm(form);
}

void TQLanguage::UnregisterForm(QWidget* form) {
  if (!form) return;
  const int index = Forms.IndexOf(FromQ(form->objectName()));
  if (index >= 0) Forms.Delete(index);
}

void TQLanguage::TranslateForm(QWidget* form) {
  form->setWindowTitle(TranslateToQ(ComponentKey(form->objectName())));
  TranslateChildren(form);
}

void TQLanguage::TranslateChildren(QObject* control) {
  for (QObject* child : control->children()) TranslateComponent(child);
}

void TQLanguage::TranslateComponent(QObject* component) {
  if (component->isWidgetType() && !IsLeaf(component)) {
    TranslateChildren(component);
  } else {
    // Leaves own nothing translated but the columns of a grid.
    for (QObject* child : component->children())
      if (qobject_cast<TGridColumn*>(child)) TranslateComponent(child);
  }
  const QString name = component->objectName();
  if (name.isEmpty() || name.startsWith("qt_")) return;  // Qt's own inner parts
  TranslateOwn(component);
}

void TQLanguage::TranslateOwn(QObject* c) {
  const QString name = c->objectName();
  const std::string key = ComponentKey(name);
  if (auto* styled = qobject_cast<TStyledLabel*>(c)) {
    styled->setText(TranslateToQ(key));
  } else if (auto* label = qobject_cast<QLabel*>(c)) {
    if (name != "NewEventBlinkLabel" && !name.startsWith("NoLang"))
      label->setText(TranslateToQ(key));
  } else if (auto* button = qobject_cast<QAbstractButton*>(c)) {
    button->setText(TranslateToQ(key));  // buttons, check boxes, radio and speed buttons
  } else if (auto* group = qobject_cast<QGroupBox*>(c)) {
    if (key != "NoText" && !name.startsWith("NoLang")) group->setTitle(TranslateToQ(key));
  } else if (auto* page = qobject_cast<TTabSheet*>(c)) {
    page->SetCaption(TranslateToQ(key));
  } else if (auto* tree = qobject_cast<QTreeWidget*>(c)) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
      TranslateTreeItem(*this, tree->topLevelItem(i));
  } else if (auto* menu = qobject_cast<QMenu*>(c)) {
    menu->setTitle(TranslateToQ(key));
  } else if (auto* action = qobject_cast<QAction*>(c)) {
    if (!action->isSeparator() && action->text() != "-") action->setText(TranslateToQ(key));
  } else if (auto* column = qobject_cast<TGridColumn*>(c)) {
    if (column->Kind() != TGridColumn::TKind::Other) column->SetHeader(TranslateToQ(key));
  }
}
