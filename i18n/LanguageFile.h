#pragma once
// The binary language file "QLanguage.lng": 32-bit little-endian counts and
// lengths; N language names; M entries of a key and one text per language.
// Names, keys and texts are 8-bit text of at most 255 bytes.

#include <string>
#include <vector>

struct TLanguageEntry {
  std::string Key;
  std::vector<std::string> Texts;  // one per language, in the order of the names
};

struct TLanguageFileData {
  std::vector<std::string> Names;
  std::vector<TLanguageEntry> Entries;
};

constexpr std::size_t kMaxLanguageText = 255;

// False, with a reason, for a file that is truncated or holds a negative count
// or a length above 255; nothing is allocated beyond what the bytes can hold.
// A zero byte inside a text ends the text there.
bool ParseLanguageFile(const std::string& bytes, TLanguageFileData& data, std::string& error);
// False, with a reason, when a text is too long or the entries do not have one
// text per language.
bool WriteLanguageFile(const TLanguageFileData& data, std::string& bytes, std::string& error);
