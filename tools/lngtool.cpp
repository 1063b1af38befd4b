// lngtool: builds "QLanguage.lng" from the readable sources in lang/ and
// dumps a language file back to text.
//   lngtool build OUT.lng SOURCE...
//   lngtool check SOURCE...
//   lngtool dump FILE.lng
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <iostream>

#include "tools/LanguageSource.h"

namespace {

int Fail(const std::string& error) {
  std::cerr << "lngtool: " << error << "\n";
  return 1;
}

bool Build(int first, int argc, char** argv, TLanguageFileData& data, std::string& error) {
  std::vector<TLanguageSource> sources;
  for (int i = first; i < argc; ++i) {
    TLanguageSource source;
    if (!ReadLanguageSource(QString::fromLocal8Bit(argv[i]), source, error)) return false;
    sources.push_back(std::move(source));
  }
  return BuildLanguageFile(sources, data, error);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  TLanguageFileData data;
  std::string error;
  if (command == "build" && argc > 3) {
    std::string bytes;
    if (!Build(3, argc, argv, data, error) || !WriteLanguageFile(data, bytes, error))
      return Fail(error);
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !out.commit())
      return Fail(std::string("cannot write ") + argv[2]);
    return 0;
  }
  if (command == "check" && argc > 2) {
    if (!Build(2, argc, argv, data, error)) return Fail(error);
    std::cout << data.Names.size() << " languages, " << data.Entries.size() << " keys\n";
    return 0;
  }
  if (command == "dump" && argc == 3) {
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly)) return Fail(std::string("cannot read ") + argv[2]);
    if (!ParseLanguageFile(file.readAll().toStdString(), data, error)) return Fail(error);
    for (std::size_t i = 0; i < data.Names.size(); ++i) {
      const std::string text = DumpLanguage(data, i);
      std::cout
          << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toStdString();
      if (i + 1 < data.Names.size()) std::cout << "\n";
    }
    return 0;
  }
  std::cerr << "usage: lngtool build OUT.lng SOURCE... | lngtool check SOURCE... | lngtool dump "
               "FILE.lng\n";
  return 2;
}
