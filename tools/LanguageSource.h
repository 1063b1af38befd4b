#pragma once
// The readable language sources in lang/: one UTF-8 file per language,
//   @language Deutsch
//   Key=Text
// with "#" comment lines; "\n" in a text stands for a line break and "\\"
// for a backslash. Texts are stored as Latin-1 bytes.

#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "i18n/LanguageFile.h"

struct TLanguageSource {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Texts;  // key, text, in file order
};

// False, with "file:line: reason", for a malformed source.
bool ReadLanguageSource(const QString& fileName, TLanguageSource& source, std::string& error);
// The languages in order, keys in the first source's order. False when a
// source lacks a key another has.
bool BuildLanguageFile(const std::vector<TLanguageSource>& sources, TLanguageFileData& data,
                       std::string& error);
// The readable form of one language of a file.
std::string DumpLanguage(const TLanguageFileData& data, std::size_t language);
