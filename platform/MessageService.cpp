#include "platform/MessageService.h"

#include <QStringList>

#include "platform/Text.h"

QString ToQtFilter(const std::string& filter) {
  const QStringList parts = ToQ(filter).split('|');
  QStringList entries;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = parts[i + 1].trimmed().replace(';', ' ');
    // Qt takes the patterns from the last parentheses of the description.
    if (!description.endsWith(')')) description += " (" + patterns + ")";
    entries << description;
  }
  return entries.join(";;");
}
