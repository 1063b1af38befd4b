#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cstdio>

#include "codec/HexDigit.h"
#include "platform/FoldCase.h"

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const char kOldHeader[] = "REGEDIT4";
const char kRoot[] = "HKEY_CURRENT_USER";
constexpr int kLockTimeoutMs = 5000;

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

// Reads a quoted text starting at pos (at the opening quote); leaves pos after
// the closing quote. False when the text is not well formed.
bool ReadQuoted(const std::string& line, std::size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (++pos >= line.size()) return false;
      c = line[pos];
    }
    out.push_back(c);
  }
  return false;
}

bool ParseDword(const std::string& text, std::uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  value = 0;
  for (char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return false;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return true;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// The file's text as 8-bit characters: a byte-order mark names UTF-8 or
// UTF-16 (as Windows writes its exports); without one the bytes are taken as
// they are.
std::string DecodeFile(const QByteArray& bytes) {
  QString text;
  if (bytes.startsWith("\xEF\xBB\xBF"))
    text = QString::fromUtf8(bytes.mid(3));
  else if (bytes.startsWith("\xFF\xFE"))
    text = QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
  else if (bytes.startsWith("\xFE\xFF"))
    text = QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
  else
    return bytes.toStdString();
  return text.toLatin1().toStdString();
}

// Lines ended by CR LF, LF or CR alone.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string RootPath(const std::string& path) {
  return std::string(kRoot) + "\\" + path;
}

}  // namespace

TFileRegistryHive::TKey* TFileRegistryHive::THive::Find(const std::string& path) {
  const std::string folded = FoldCase(TRegistry::NormalizePath(path));
  for (TKey& key : Keys)
    if (FoldCase(TRegistry::NormalizePath(key.Path)) == folded) return &key;
  return nullptr;
}

TFileRegistryHive::TFileRegistryHive(QString fileName) : FFileName(std::move(fileName)) {}

QString TFileRegistryHive::DefaultFileName() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = QDir::homePath() + "/.config";
  return base + "/VX8config/registry.reg";
}

bool TFileRegistryHive::Parse(const QByteArray& bytes, THive& hive) {
  hive.Keys.clear();
  const std::vector<std::string> lines = SplitLines(DecodeFile(bytes));
  bool headerSeen = false;
  TKey* current = nullptr;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.empty()) continue;
    if (!headerSeen) {
      if (line != kHeader && line != kOldHeader) return false;
      headerSeen = true;
      continue;
    }
    if (line.front() == ';') continue;  // a comment
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) return false;
      const std::string path = line.substr(1, line.size() - 2);
      current = hive.Find(path);
      if (!current) {
        hive.Keys.push_back({path, {}});
        current = &hive.Keys.back();
      }
      continue;
    }
    if (!current) return false;  // a value before any key
    std::size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
      name = "@";
      pos = 1;
    } else if (!ReadQuoted(line, pos, name)) {
      return false;
    }
    if (pos >= line.size() || line[pos] != '=') return false;
    const std::string data = line.substr(pos + 1);
    TStored stored;
    if (data.front() == '"') {
      std::size_t at = 0;
      std::string text;
      if (!ReadQuoted(data, at, text) || at != data.size()) return false;
      stored = text;
    } else if (StartsWith(data, "dword:")) {
      std::uint32_t number = 0;
      if (!ParseDword(data.substr(6), number)) return false;
      stored = number;
    } else if (StartsWith(data, "hex:") || StartsWith(data, "hex(") || data == "-") {
      // Kept as written, with the lines that continue it.
      std::string text = data;
      while (text.back() == '\\' && i + 1 < lines.size()) text += "\r\n" + lines[++i];
      stored = TRaw{text};
    } else {
      return false;
    }
    TValue* existing = nullptr;
    for (TValue& v : current->Values)
      if (FoldCase(v.Name) == FoldCase(name)) existing = &v;
    if (existing)
      existing->Data = stored;
    else
      current->Values.push_back({name, stored});
  }
  return headerSeen;
}

std::string TFileRegistryHive::Format(const THive& hive) {
  std::string out = std::string(kHeader) + "\r\n";
  for (const TKey& key : hive.Keys) {
    out += "\r\n[" + key.Path + "]\r\n";
    for (const TValue& value : key.Values) {
      out += value.Name == "@" ? std::string("@") : "\"" + Escape(value.Name) + "\"";
      out += "=";
      if (const auto* number = std::get_if<std::uint32_t>(&value.Data)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", *number);
        out += buf;
      } else if (const auto* raw = std::get_if<TRaw>(&value.Data)) {
        out += raw->Text;
      } else {
        out += "\"" + Escape(std::get<std::string>(value.Data)) + "\"";
      }
      out += "\r\n";
    }
  }
  return out;
}

TFileRegistryHive::TFileState TFileRegistryHive::Load(THive& hive) const {
  hive.Keys.clear();
  const QFileInfo info(FFileName);
  if (!info.exists() && !info.isSymLink()) return TFileState::Missing;
  if (info.isDir()) return TFileState::Unusable;
  // A FIFO or a device could block or never end; a huge file is no registry.
  if (!info.isFile() || info.size() > kMaxFileSize) return TFileState::Damaged;
  QFile file(FFileName);
  if (!file.open(QIODevice::ReadOnly)) return TFileState::Unusable;
  const QByteArray bytes = file.read(kMaxFileSize + 1);
  if (file.error() != QFileDevice::NoError) return TFileState::Unusable;
  if (bytes.size() > kMaxFileSize || !Parse(bytes, hive)) {
    hive.Keys.clear();
    return TFileState::Damaged;
  }
  return TFileState::Sound;
}

bool TFileRegistryHive::Modify(const std::string& path,
                               const std::function<void(TKey& key)>& change) {
  // A line break in a key path could not be read back.
  if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return false;
  if (!QDir().mkpath(QFileInfo(FFileName).absolutePath())) return false;
  QLockFile lock(FFileName + ".lock");
  if (!lock.tryLock(kLockTimeoutMs)) return false;

  THive hive;
  const TFileState state = Load(hive);
  if (state == TFileState::Unusable) return false;
  TKey* key = hive.Find(RootPath(path));
  if (!key) {
    hive.Keys.push_back({RootPath(path), {}});
    key = &hive.Keys.back();
  }
  change(*key);
  const std::string out = Format(hive);
  if (static_cast<qint64>(out.size()) > kMaxFileSize) return false;  // could not be read back

  if (state == TFileState::Damaged) {
    // Never overwritten unseen: the user may still want what it holds.
    const QString aside = FFileName + ".damaged";
    QFile::remove(aside);
    if (!QFile::rename(FFileName, aside)) return false;
  }
  QSaveFile file(FFileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size()))
    return false;
  return file.commit();
}

bool TFileRegistryHive::KeyExists(const std::string& path) {
  THive hive;
  Load(hive);
  return hive.Find(RootPath(path)) != nullptr;
}

bool TFileRegistryHive::CreateKey(const std::string& path) {
  {
    THive hive;
    if (Load(hive) == TFileState::Sound && hive.Find(RootPath(path))) return true;
  }
  return Modify(path, [](TKey&) {});
}

std::optional<TRegistryValue> TFileRegistryHive::ReadValue(const std::string& path,
                                                           const std::string& name) {
  THive hive;
  Load(hive);
  const TKey* key = hive.Find(RootPath(path));
  if (!key) return std::nullopt;
  for (const TValue& value : key->Values) {
    if (FoldCase(value.Name) != FoldCase(name)) continue;
    if (const auto* number = std::get_if<std::uint32_t>(&value.Data)) return *number;
    if (const auto* text = std::get_if<std::string>(&value.Data)) return *text;
    return std::nullopt;  // a type this program does not read
  }
  return std::nullopt;
}

bool TFileRegistryHive::WriteValue(const std::string& path, const std::string& name,
                                   const TRegistryValue& value) {
  // One value per line: a line break inside could not be read back.
  const auto* text = std::get_if<std::string>(&value);
  if (name.empty() || name.find_first_of("\r\n") != std::string::npos ||
      (text && text->find_first_of("\r\n") != std::string::npos))
    return false;
  const TStored stored = text ? TStored(*text) : TStored(std::get<std::uint32_t>(value));
  return Modify(path, [&](TKey& key) {
    for (TValue& v : key.Values) {
      if (FoldCase(v.Name) == FoldCase(name)) {
        v.Data = stored;
        return;
      }
    }
    key.Values.push_back({name, stored});
  });
}

TRegistryHive& CurrentUserHive() {
  // The file name follows the environment, so one hive object serves all.
  class TCurrentUserHive : public TRegistryHive {
   public:
    bool KeyExists(const std::string& path) override { return File().KeyExists(path); }
    bool CreateKey(const std::string& path) override { return File().CreateKey(path); }
    std::optional<TRegistryValue> ReadValue(const std::string& path,
                                            const std::string& name) override {
      return File().ReadValue(path, name);
    }
    bool WriteValue(const std::string& path, const std::string& name,
                    const TRegistryValue& value) override {
      return File().WriteValue(path, name, value);
    }

   private:
    static TFileRegistryHive File() {
      return TFileRegistryHive(TFileRegistryHive::DefaultFileName());
    }
  };
  static TCurrentUserHive hive;
  return hive;
}

std::string TRegistry::NormalizePath(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

bool TRegistry::OpenKey(const std::string& path, bool create) {
  CloseKey();
  const std::string normalized = NormalizePath(path);
  if (normalized.empty()) return false;
  const bool ok = create ? FHive.CreateKey(normalized) : FHive.KeyExists(normalized);
  if (ok) FPath = normalized;
  return ok;
}

bool TRegistry::ValueExists(const std::string& name) {
  return FPath && FHive.ReadValue(*FPath, name).has_value();
}

std::optional<std::string> TRegistry::ReadString(const std::string& name) {
  if (!FPath) return std::nullopt;
  const auto value = FHive.ReadValue(*FPath, name);
  if (!value || !std::holds_alternative<std::string>(*value)) return std::nullopt;
  return std::get<std::string>(*value);
}

std::optional<std::uint32_t> TRegistry::ReadInteger(const std::string& name) {
  if (!FPath) return std::nullopt;
  const auto value = FHive.ReadValue(*FPath, name);
  if (!value || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
  return std::get<std::uint32_t>(*value);
}

bool TRegistry::WriteString(const std::string& name, const std::string& value) {
  return FPath && FHive.WriteValue(*FPath, name, value);
}

bool TRegistry::WriteInteger(const std::string& name, std::uint32_t value) {
  return FPath && FHive.WriteValue(*FPath, name, value);
}
