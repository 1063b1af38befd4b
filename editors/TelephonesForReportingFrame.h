#pragma once
// The first generation's reporting phones: four numbers, each with four
// report flags T1..T4. Flag texts run T4, T3, T2, T1 ("0001" is T1 alone).
// SetReportFlags with a value shorter than four characters leaves the flags
// it does not cover unchanged.

#include <QFrame>
#include <QLabel>
#include <string>

#include "model/DataNodeHandler.h"
#include "platform/Grid.h"

class TTelephonesForReportingFra : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kPhones = 4;

  explicit TTelephonesForReportingFra(QWidget* parent = nullptr);
  void ResetGrids();

  std::string GetPhoneNumber(const TDataNode* node) const;
  void SetPhoneNumber(const TDataNode* node, const std::string& value);
  std::string GetReportFlags(const TDataNode* node) const;
  void SetReportFlags(const TDataNode* node, const std::string& value);

  QLabel* TelephonesForReporingLab;
  TGrid* TelephonesGrd;

 private:
  static int Row(const TDataNode* node, int offset);
};
