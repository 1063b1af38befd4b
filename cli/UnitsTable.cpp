#include "cli/UnitsTable.h"

#include <QFile>
#include <QFileInfo>
#include <set>

#include "cli/DeviceSettings.h"

namespace {

constexpr qint64 kMaxTableSize = 4 * 1024 * 1024;

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields) {
  fields.assign(1, std::string());
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return !quoted;
}

bool LoadUnitsTable(const QString& fileName, TUnitsTable& table, std::string& error,
                    bool& unreadable) {
  unreadable = true;
  const QFileInfo info(fileName);
  QFile file(fileName);
  if (!info.isFile() || info.size() > kMaxTableSize || !file.open(QIODevice::ReadOnly)) {
    error = "the units table " + fileName.toStdString() + " cannot be read";
    return false;
  }
  unreadable = false;
  const QList<QByteArray> lines = file.readAll().split('\n');
  table = TUnitsTable();
  int number = 0;
  for (QByteArray raw : lines) {
    ++number;
    if (raw.endsWith('\r')) raw.chop(1);
    if (raw.trimmed().isEmpty()) continue;
    std::vector<std::string> fields;
    if (!SplitCsvLine(raw.toStdString(), fields)) {
      error = "line " + std::to_string(number) + " of the units table: a quote does not close";
      return false;
    }
    if (table.Columns.empty()) {
      std::set<std::string> seen;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string column = QString::fromStdString(fields[i]).trimmed().toStdString();
        if (column == "serial" && table.SerialColumn < 0) {
          table.SerialColumn = static_cast<int>(i);
        } else if (!TDeviceSettings::IsWritable(column) || !seen.insert(column).second) {
          error = "the units table's column \"" + column +
                  "\" is not a parameter code that is written to a device";
          return false;
        }
        table.Columns.push_back(column);
      }
      continue;
    }
    if (fields.size() != table.Columns.size()) {
      error = "line " + std::to_string(number) + " of the units table has " +
              std::to_string(fields.size()) + " fields, the header " +
              std::to_string(table.Columns.size());
      return false;
    }
    table.Rows.push_back(fields);
  }
  if (table.Columns.empty()) {
    error = "the units table has no header";
    return false;
  }
  return true;
}

bool AppendRecord(const QString& fileName, const TRecordLine& line) {
  QFile file(fileName);
  const bool fresh = !file.exists() || QFileInfo(fileName).size() == 0;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
  std::string text;
  if (fresh) text = "time,serial,type,version,template,row,sha256,result\n";
  for (const std::string* field : {&line.Time, &line.Serial, &line.Type, &line.Version,
                                   &line.Template, &line.Row, &line.Sha256, &line.Result}) {
    text += CsvField(*field);
    text += field == &line.Result ? "\n" : ",";
  }
  return file.write(text.data(), static_cast<qint64>(text.size())) ==
             static_cast<qint64>(text.size()) &&
         file.flush();
}
