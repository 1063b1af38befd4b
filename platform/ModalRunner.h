#pragma once
// Shows a dialog modally. The program runs it with exec(); tests replace it
// to look at the dialog and confirm or cancel it.

#include <QDialog>

class TModalRunner {
 public:
  virtual ~TModalRunner() = default;
  // The dialog's result: QDialog::Accepted, or Rejected when it was closed
  // any other way.
  virtual int Run(QDialog& dialog) = 0;
};

class TExecModalRunner : public TModalRunner {
 public:
  int Run(QDialog& dialog) override { return dialog.exec(); }
};
