#pragma once
// The message service on Qt's standard dialogs.

#include <QPointer>
#include <QWidget>

#include "platform/MessageService.h"

class TWidgetMessageService : public TMessageService {
 public:
  explicit TWidgetMessageService(QWidget* parent = nullptr) : FParent(parent) {}
  void SetParent(QWidget* parent) { FParent = parent; }

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  std::optional<QString> OpenFileName(const TFileDialogOptions& options) override;
  std::optional<QString> SaveFileName(const TFileDialogOptions& options) override;

 private:
  std::optional<QString> RunFileDialog(const TFileDialogOptions& options, bool save);
  QPointer<QWidget> FParent;
};
