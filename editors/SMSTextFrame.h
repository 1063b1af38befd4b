#pragma once
// The first generation's SMS texts: six alarm texts and their restores. Up to
// 32 characters can be typed; texts are given back whole.

#include <QFrame>
#include <QLabel>
#include <string>

#include "model/DataNodeHandler.h"
#include "platform/Grid.h"

class TSMSTextFra : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kRows = 6;
  static constexpr int kTypingLimit = 32;

  explicit TSMSTextFra(QWidget* parent = nullptr);
  void ResetGrids();

  std::string GetAlarmText(const TDataNode* node) const;
  void SetAlarmText(const TDataNode* node, const std::string& value);
  std::string GetRestoreText(const TDataNode* node) const;
  void SetRestoreText(const TDataNode* node, const std::string& value);

  QLabel* SMSTextLab;
  TGrid* SMSTextGrd;

 private:
  static int Row(const TDataNode* node);
  std::string Text(const TDataNode* node, int column) const;
  void SetText(const TDataNode* node, int column, const std::string& value);
};
