#pragma once
// The registry of the current user. Paths are relative to the current-user
// root ("Software\VX8config"); key and value names ignore letter case.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

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
// and replaced atomically on every write, under a lock beside it so that two
// programs writing at once keep each other's values. What the export format
// allows is read (other roots, hex values, a byte-order mark, any line end) and
// kept as written; a file that cannot be read at all is moved aside to
// NAME.damaged before a new one is written. Only a regular file up to 4 MiB is
// read.
class TFileRegistryHive : public TRegistryHive {
 public:
  static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

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

  // The file's contents as keys and values, in file order.
  struct TRaw {
    std::string Text;  // a value of a type this program does not use, as written
  };
  using TStored = std::variant<std::string, std::uint32_t, TRaw>;
  struct TValue {
    std::string Name;  // "@" for a key's default value
    TStored Data;
  };
  struct TKey {
    std::string Path;  // with its root: HKEY_CURRENT_USER\Software\VX8config
    std::vector<TValue> Values;
  };
  struct THive {
    std::vector<TKey> Keys;
    TKey* Find(const std::string& path);
  };
  enum class TFileState { Missing, Sound, Damaged, Unusable };
  // Parses the bytes of a file; false when they are not in the export format.
  static bool Parse(const QByteArray& bytes, THive& hive);
  static std::string Format(const THive& hive);

 private:
  TFileState Load(THive& hive) const;
  // Reads, changes and writes the file under the lock; false when nothing was
  // written.
  bool Modify(const std::string& path, const std::function<void(TKey& key)>& change);

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
