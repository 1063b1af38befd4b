#pragma once
// The language manager: the texts of the chosen language from "QLanguage.lng"
// beside the program, whole forms translated by component name, single keys
// translated for messages.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/HashedStringList.h"
#include "platform/MessageService.h"
#include "platform/Registry.h"

struct TQStringItem {
  std::string Text;
};

class TQLanguage {
 public:
  static constexpr const char* kRegistryKey = "\\Software\\Selvane";
  static constexpr const char* kRegistryValue = "Language";
  static constexpr const char* kFileName = "QLanguage.lng";

  // File names are taken relative to programDir (the program's own folder
  // unless given).
  explicit TQLanguage(TMessageService& messages, QString programDir = QString(),
                      TRegistryHive& hive = CurrentUserHive());

  // Loads the chosen language. A missing file shows "Language file not found";
  // a damaged or unreadable one shows "Language file damaged: ..."; either way
  // the texts held so far stay, so half a language is never loaded.
  bool LoadLanguage(const std::string& fileName);
  // The loaded text, or "?" + key + "?" (remembered) when there is none.
  std::string Translate(const std::string& key);

  void RegisterForm(QWidget* form);
  void UnregisterForm(QWidget* form);
  void TranslateForm(QWidget* form);
  void TranslateChildren(QObject* control);
  void TranslateComponent(QObject* component);

  // "ReadBtn" gives "Read": the name less its last three characters.
  static std::string ComponentKey(const QString& name);
  QString TranslateToQ(const std::string& key);

  THashedStringList<QPointer<QWidget>> Forms;
  std::string LanguageName;
  std::vector<std::string> LanguageNames;
  THashedStringList<TQStringItem> Texts;

  TRegistryHive& Hive() { return FHive; }
  const QString& ProgramDir() const { return FProgramDir; }

 private:
  void TranslateOwn(QObject* component);

  TMessageService& FMessages;
  QString FProgramDir;
  TRegistryHive& FHive;
};
