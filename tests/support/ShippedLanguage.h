#pragma once
// The language manager on the language file the build ships, with a
// registry of its own, and what it could not translate.

#include <QFileInfo>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "i18n/Q_Language.h"
#include "support/FakeMessageService.h"

struct TShippedLanguage {
  TShippedLanguage()
      : Hive(Dir.path() + "/registry.reg"),
        Language(Messages, QFileInfo(VX8_LANGUAGE_FILE).absolutePath(), Hive),
        Loaded(Language.LoadLanguage(TQLanguage::kFileName)) {}

  // Keys asked for that the file lacks ("?key?" texts remembered).
  std::vector<std::string> MissingKeys() const {
    std::vector<std::string> missing;
    for (int i = 0; i < Language.Texts.Count(); ++i)
      if (Language.Texts.At(i).Item.Text == "?" + Language.Texts.At(i).Key + "?")
        missing.push_back(Language.Texts.At(i).Key);
    return missing;
  }

  TFakeMessageService Messages;
  QTemporaryDir Dir;
  TFileRegistryHive Hive;
  TQLanguage Language;
  bool Loaded;
};
