#pragma once
// The registry of the current user. Paths are relative to the current-user
// root ("Software\VX8config"); key and value names ignore letter case.

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

// A stored value: a string or a 32-bit number.
using TRegistryValue = std::variant<std::string, std::uint32_t>;

// Where keys and values live. The file hive below serves every system but
// Windows, where a native one can take its place behind the same interface.
class TRegistryHive {
 public:
  virtual ~TRegistryHive() = default;
  virtual bool KeyExists(const std::string& path) = 0;
  virtual bool CreateKey(const std::string& path) = 0;
  virtual std::optional<TRegistryValue> ReadValue(const std::string& path,
                                                  const std::string& name) = 0;
  virtual bool WriteValue(const std::string& path, const std::string& name,
                          const TRegistryValue& value) = 0;
};

// One per-user file in the registry-export text format, re-read on every call
// and replaced atomically on every write. A damaged file reads as empty.
class TFileRegistryHive : public TRegistryHive {
 public:
  explicit TFileRegistryHive(QString fileName);
  bool KeyExists(const std::string& path) override;
  bool CreateKey(const std::string& path) override;
  std::optional<TRegistryValue> ReadValue(const std::string& path,
                                          const std::string& name) override;
  bool WriteValue(const std::string& path, const std::string& name,
                  const TRegistryValue& value) override;

  // $XDG_CONFIG_HOME (else ~/.config) + "/VX8config/registry.reg", read anew
  // on each call so tests can point it at a temporary folder.
  static QString DefaultFileName();

 private:
  struct TKey {
    std::string Name;                                                      // as first written
    std::map<std::string, std::pair<std::string, TRegistryValue>> Values;  // by folded name
  };
  using THive = std::map<std::string, TKey>;  // by folded path
  THive Load() const;
  bool Save(const THive& hive) const;

  QString FFileName;
};

// The hive every caller uses unless given another: the per-user file.
TRegistryHive& CurrentUserHive();

// A session on one key, in the manner of the Windows registry class.
class TRegistry {
 public:
  explicit TRegistry(TRegistryHive& hive = CurrentUserHive()) : FHive(hive) {}
  // Opening a missing key without create fails.
  bool OpenKey(const std::string& path, bool create);
  void CloseKey() { FPath.reset(); }
  bool ValueExists(const std::string& name);
  // Empty when the key is not open, the value is missing or of the other type.
  std::optional<std::string> ReadString(const std::string& name);
  std::optional<std::uint32_t> ReadInteger(const std::string& name);
  bool WriteString(const std::string& name, const std::string& value);
  bool WriteInteger(const std::string& name, std::uint32_t value);

  // "\Software\Selvane" and "Software\Selvane\" name the same key.
  static std::string NormalizePath(const std::string& path);

 private:
  TRegistryHive& FHive;
  std::optional<std::string> FPath;
};
