#include "platform/Registry.h"

#include "codec/HexDigit.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <cctype>
#include <cstdio>

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const char kRoot[] = "HKEY_CURRENT_USER";
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

std::string Fold(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

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
  if (text.size() != 8) return false;
  value = 0;
  for (char c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return false;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return true;
}

}  // namespace

TFileRegistryHive::TFileRegistryHive(QString fileName) : FFileName(std::move(fileName)) {}

QString TFileRegistryHive::DefaultFileName() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = QDir::homePath() + "/.config";
  return base + "/VX8config/registry.reg";
}

TFileRegistryHive::THive TFileRegistryHive::Load() const {
  QFile file(FFileName);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) return {};
  const QByteArray all = file.readAll();
  THive hive;
  TKey* current = nullptr;
  bool headerSeen = false;
  for (const QByteArray& raw : all.split('\n')) {
    std::string line = raw.toStdString();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!headerSeen) {
      if (line != kHeader) return {};
      headerSeen = true;
      continue;
    }
    if (line.front() == '[') {
      const std::string prefix = std::string("[") + kRoot + "\\";
      if (line.back() != ']' || line.compare(0, prefix.size(), prefix) != 0) return {};
      const std::string path =
          TRegistry::NormalizePath(line.substr(prefix.size(), line.size() - prefix.size() - 1));
      if (path.empty()) return {};
      current = &hive[Fold(path)];
      if (current->Name.empty()) current->Name = path;
      continue;
    }
    std::size_t pos = 0;
    std::string name;
    if (!current || !ReadQuoted(line, pos, name) || pos >= line.size() || line[pos] != '=')
      return {};
    ++pos;
    TRegistryValue value;
    const std::string dword = "dword:";
    if (line.compare(pos, dword.size(), dword) == 0) {
      std::uint32_t number = 0;
      if (!ParseDword(line.substr(pos + dword.size()), number)) return {};
      value = number;
    } else {
      std::string text;
      if (!ReadQuoted(line, pos, text) || pos != line.size()) return {};
      value = text;
    }
    current->Values[Fold(name)] = {name, value};
  }
  return hive;
}

bool TFileRegistryHive::Save(const THive& hive) const {
  QDir().mkpath(QFileInfo(FFileName).absolutePath());
  QSaveFile file(FFileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  std::string out = std::string(kHeader) + "\r\n";
  for (const auto& [folded, key] : hive) {
    out += "\r\n[" + std::string(kRoot) + "\\" + key.Name + "]\r\n";
    for (const auto& [foldedName, entry] : key.Values) {
      out += "\"" + Escape(entry.first) + "\"=";
      if (const auto* number = std::get_if<std::uint32_t>(&entry.second)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", *number);
        out += buf;
      } else {
        out += "\"" + Escape(std::get<std::string>(entry.second)) + "\"";
      }
      out += "\r\n";
    }
  }
  if (file.write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size()))
    return false;
  return file.commit();
}

bool TFileRegistryHive::KeyExists(const std::string& path) {
  return Load().count(Fold(path)) > 0;
}

bool TFileRegistryHive::CreateKey(const std::string& path) {
  THive hive = Load();
  TKey& key = hive[Fold(path)];
  if (!key.Name.empty()) return true;
  key.Name = path;
  return Save(hive);
}

std::optional<TRegistryValue> TFileRegistryHive::ReadValue(const std::string& path,
                                                           const std::string& name) {
  const THive hive = Load();
  const auto key = hive.find(Fold(path));
  if (key == hive.end()) return std::nullopt;
  const auto value = key->second.Values.find(Fold(name));
  if (value == key->second.Values.end()) return std::nullopt;
  return value->second.second;
}

bool TFileRegistryHive::WriteValue(const std::string& path, const std::string& name,
                                   const TRegistryValue& value) {
  // One value per line: a line break inside could not be read back.
  const auto* text = std::get_if<std::string>(&value);
  if (name.find_first_of("\r\n") != std::string::npos ||
      (text && text->find_first_of("\r\n") != std::string::npos))
    return false;
  THive hive = Load();
  TKey& key = hive[Fold(path)];
  if (key.Name.empty()) key.Name = path;
  auto& entry = key.Values[Fold(name)];
  if (entry.first.empty()) entry.first = name;
  entry.second = value;
  return Save(hive);
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
