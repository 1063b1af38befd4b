// Any bytes either parse as a language file or are refused; what parses has
// one text per language in every entry, none longer than 255 bytes.
#include "i18n/LanguageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TLanguageFileData parsed;
  std::string error;
  if (!ParseLanguageFile(std::string(reinterpret_cast<const char*>(data), size), parsed, error))
    return 0;
  for (const TLanguageEntry& e : parsed.Entries) {
    if (e.Texts.size() != parsed.Names.size() || e.Key.size() > kMaxLanguageText) __builtin_trap();
    for (const std::string& t : e.Texts)
      if (t.size() > kMaxLanguageText) __builtin_trap();
  }
  std::string bytes;
  if (!WriteLanguageFile(parsed, bytes, error)) __builtin_trap();
  return 0;
}
