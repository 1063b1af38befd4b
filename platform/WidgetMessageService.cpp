#include "platform/WidgetMessageService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/Text.h"

void TWidgetMessageService::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), ToQ(text), QMessageBox::Ok,
                  FParent);
  box.exec();
}

bool TWidgetMessageService::AskYesNo(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Question, ToQ(caption), ToQ(text),
                  QMessageBox::Yes | QMessageBox::No, FParent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> TWidgetMessageService::OpenFileName(const TFileDialogOptions& options) {
  return RunFileDialog(options, false);
}

std::optional<QString> TWidgetMessageService::SaveFileName(const TFileDialogOptions& options) {
  return RunFileDialog(options, true);
}

std::optional<QString> TWidgetMessageService::RunFileDialog(const TFileDialogOptions& options,
                                                            bool save) {
  QFileDialog dialog(FParent, ToQ(options.Title), options.InitialDir, ToQtFilter(options.Filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && (options.Flags & TFileDialogOptions::FileMustExist)
                         ? QFileDialog::ExistingFile
                         : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(ToQ(options.DefaultExt));
  if (!(options.Flags & TFileDialogOptions::OverwritePrompt))
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setSizeGripEnabled(options.Flags & TFileDialogOptions::EnableSizing);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}
