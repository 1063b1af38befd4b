#include "i18n/LanguageFile.h"

#include <cstdint>

namespace {

class TReader {
 public:
  explicit TReader(const std::string& bytes) : FBytes(bytes) {}
  std::size_t Remaining() const { return FBytes.size() - FPos; }

  bool Int(std::int32_t& value) {
    if (Remaining() < 4) return false;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(FBytes[FPos + i]);
    FPos += 4;
    value = static_cast<std::int32_t>(v);
    return true;
  }

  bool Text(std::string& text, std::string& error) {
    std::int32_t length = 0;
    if (!Int(length)) return Fail(error, "it ends in the middle of a length");
    if (length < 0 || static_cast<std::size_t>(length) > kMaxLanguageText)
      return Fail(error, "a text length of " + std::to_string(length) + " is outside 0 to 255");
    if (Remaining() < static_cast<std::size_t>(length))
      return Fail(error, "it ends in the middle of a text");
    text.assign(FBytes, FPos, static_cast<std::size_t>(length));
    FPos += static_cast<std::size_t>(length);
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return true;
  }

  // A count, checked against what the rest of the file can hold.
  bool Count(std::int32_t& count, std::size_t minBytesEach, std::string& error) {
    if (!Int(count)) return Fail(error, "it ends in the middle of a count");
    if (count < 0) return Fail(error, "a count of " + std::to_string(count) + " is negative");
    if (minBytesEach > 0 && static_cast<std::size_t>(count) > Remaining() / minBytesEach)
      return Fail(error, "a count of " + std::to_string(count) + " is more than the file holds");
    return true;
  }

  static bool Fail(std::string& error, const std::string& reason) {
    error = reason;
    return false;
  }

 private:
  const std::string& FBytes;
  std::size_t FPos = 0;
};

void PutInt(std::string& out, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

bool PutText(std::string& out, const std::string& text, std::string& error) {
  if (text.size() > kMaxLanguageText) {
    error = "\"" + text.substr(0, 40) + "...\" is longer than 255 bytes";
    return false;
  }
  PutInt(out, static_cast<std::int32_t>(text.size()));
  out += text;
  return true;
}

}  // namespace

bool ParseLanguageFile(const std::string& bytes, TLanguageFileData& data, std::string& error) {
  TReader reader(bytes);
  TLanguageFileData result;
  std::int32_t languages = 0, entries = 0;
  if (!reader.Count(languages, 4, error)) return false;
  result.Names.resize(static_cast<std::size_t>(languages));
  for (std::string& name : result.Names)
    if (!reader.Text(name, error)) return false;
  // Each entry holds at least its key length and one length per language.
  if (!reader.Count(entries, 4 * (1 + static_cast<std::size_t>(languages)), error)) return false;
  result.Entries.resize(static_cast<std::size_t>(entries));
  for (TLanguageEntry& entry : result.Entries) {
    if (!reader.Text(entry.Key, error)) return false;
    entry.Texts.resize(result.Names.size());
    for (std::string& text : entry.Texts)
      if (!reader.Text(text, error)) return false;
  }
  data = std::move(result);
  return true;
}

bool WriteLanguageFile(const TLanguageFileData& data, std::string& bytes, std::string& error) {
  std::string out;
  PutInt(out, static_cast<std::int32_t>(data.Names.size()));
  for (const std::string& name : data.Names)
    if (!PutText(out, name, error)) return false;
  PutInt(out, static_cast<std::int32_t>(data.Entries.size()));
  for (const TLanguageEntry& entry : data.Entries) {
    if (entry.Texts.size() != data.Names.size()) {
      error = "\"" + entry.Key + "\" has " + std::to_string(entry.Texts.size()) + " texts for " +
              std::to_string(data.Names.size()) + " languages";
      return false;
    }
    if (!PutText(out, entry.Key, error)) return false;
    for (const std::string& text : entry.Texts)
      if (!PutText(out, text, error)) return false;
  }
  bytes = std::move(out);
  return true;
}
