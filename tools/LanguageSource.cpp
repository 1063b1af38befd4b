#include "tools/LanguageSource.h"

#include <QFile>
#include <QStringList>
#include <map>
#include <set>

namespace {

bool ToLatin1(const QString& text, std::string& out) {
  for (QChar c : text)
    if (c.unicode() > 0xFF) return false;
  out = text.toLatin1().toStdString();
  return true;
}

QString Unescape(const QString& text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const QChar next = text[++i];
      out += next == 'n' ? QChar('\n') : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

}  // namespace

bool ReadLanguageSource(const QString& fileName, TLanguageSource& source, std::string& error) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    error = fileName.toStdString() + ": cannot be read";
    return false;
  }
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
  std::set<std::string> seen;
  source = {};
  for (int n = 0; n < lines.size(); ++n) {
    const QString line = lines[n].endsWith('\r') ? lines[n].chopped(1) : lines[n];
    const std::string where = fileName.toStdString() + ":" + std::to_string(n + 1) + ": ";
    if (line.trimmed().isEmpty() || line.trimmed().startsWith('#')) continue;
    if (line.startsWith("@language ")) {
      if (!ToLatin1(line.mid(10).trimmed(), source.Name)) {
        error = where + "the language name is not Latin-1";
        return false;
      }
      continue;
    }
    const int eq = line.indexOf('=');
    if (eq <= 0) {
      error = where + "expected Key=Text";
      return false;
    }
    std::string key, text;
    if (!ToLatin1(line.left(eq).trimmed(), key) || !ToLatin1(Unescape(line.mid(eq + 1)), text)) {
      error = where + "a character outside Latin-1";
      return false;
    }
    if (text.size() > kMaxLanguageText) {
      error = where + "the text is longer than 255 bytes";
      return false;
    }
    if (!seen.insert(key).second) {
      error = where + "\"" + key + "\" is there twice";
      return false;
    }
    source.Texts.emplace_back(key, text);
  }
  if (source.Name.empty()) {
    error = fileName.toStdString() + ": no @language line";
    return false;
  }
  return true;
}

bool BuildLanguageFile(const std::vector<TLanguageSource>& sources, TLanguageFileData& data,
                       std::string& error) {
  data = {};
  if (sources.empty()) {
    error = "no language sources";
    return false;
  }
  std::vector<std::map<std::string, std::string>> byKey;
  for (const TLanguageSource& s : sources) {
    data.Names.push_back(s.Name);
    byKey.emplace_back(s.Texts.begin(), s.Texts.end());
  }
  for (std::size_t i = 1; i < sources.size(); ++i) {
    for (const auto& [key, text] : byKey[i])
      if (!byKey[0].count(key)) {
        error = sources[i].Name + " has \"" + key + "\", which " + sources[0].Name + " lacks";
        return false;
      }
  }
  for (const auto& [key, text] : sources[0].Texts) {
    TLanguageEntry entry{key, {}};
    for (std::size_t i = 0; i < sources.size(); ++i) {
      const auto it = byKey[i].find(key);
      if (it == byKey[i].end()) {
        error = sources[i].Name + " lacks \"" + key + "\"";
        return false;
      }
      entry.Texts.push_back(it->second);
    }
    data.Entries.push_back(std::move(entry));
  }
  return true;
}

std::string DumpLanguage(const TLanguageFileData& data, std::size_t language) {
  std::string out = "@language " + data.Names.at(language) + "\n";
  for (const TLanguageEntry& e : data.Entries)
    out += e.Key + "=" + Escape(language < e.Texts.size() ? e.Texts[language] : "") + "\n";
  return out;
}
