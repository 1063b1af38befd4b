#pragma once
// The provisioning files: the units table (a CSV whose header names parameter
// codes, and optionally a "serial" column to match rows to units) and the
// record of what went into which device.

#include <QString>
#include <string>
#include <vector>

struct TUnitsTable {
  std::vector<std::string> Columns;  // codes, and "serial" at most once
  std::vector<std::vector<std::string>> Rows;
  int SerialColumn = -1;
};

// Reads and checks the whole table first: every column a code that is written
// to a device (or "serial"), every row as long as the header. False with the
// reason; unreadable tells a file that could not be read from a bad one.
bool LoadUnitsTable(const QString& fileName, TUnitsTable& table, std::string& error,
                    bool& unreadable);

// One CSV line's fields; false for a line whose quotes do not close.
bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields);

struct TRecordLine {
  std::string Time, Serial, Type, Version, Template, Row, Sha256, Result;
};

// Appends one line to the record, with a header when the file is new. Never
// holds the access code.
bool AppendRecord(const QString& fileName, const TRecordLine& line);
