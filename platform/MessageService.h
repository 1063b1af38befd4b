#pragma once
// Every message box, question and file dialog of the program goes through one
// of these, so tests can record what would be shown and script the answers.

#include <QString>
#include <optional>
#include <string>

struct TFileDialogOptions {
  enum Flag : unsigned {
    HideReadOnly = 1 << 0,
    PathMustExist = 1 << 1,
    FileMustExist = 1 << 2,
    OverwritePrompt = 1 << 3,
    NoChangeDir = 1 << 4,
    EnableSizing = 1 << 5,
  };
  std::string Title;
  // "Description|pattern|Description|pattern", the first entry selected.
  std::string Filter;
  std::string DefaultExt;  // without the dot
  unsigned Flags = 0;
  QString InitialDir;
};

class TMessageService {
 public:
  virtual ~TMessageService() = default;
  // A plain box: the text and one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A question with a question icon and Yes/No buttons; true for Yes.
  virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
  // The chosen file's full path, or nothing when the user cancels.
  virtual std::optional<QString> OpenFileName(const TFileDialogOptions& options) = 0;
  virtual std::optional<QString> SaveFileName(const TFileDialogOptions& options) = 0;
};

// "A (*.a)|*.a|All files (*.*)|*.*" in the form Qt's file dialog takes.
QString ToQtFilter(const std::string& filter);
