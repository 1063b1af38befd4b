#pragma once
// Records what the program would show and answers from a script.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageService.h"

class TFakeMessageService : public TMessageService {
 public:
  void ShowMessage(const std::string& text) override {
    Messages.push_back(text);
    if (OnMessage) OnMessage();
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    Questions.push_back(caption + "|" + text);
    return YesNoAnswer;
  }
  std::optional<QString> OpenFileName(const TFileDialogOptions& options) override {
    return Answer(options);
  }
  std::optional<QString> SaveFileName(const TFileDialogOptions& options) override {
    return Answer(options);
  }

  std::vector<std::string> Messages;
  std::function<void()> OnMessage;
  std::vector<std::string> Questions;
  std::vector<TFileDialogOptions> Dialogs;
  bool YesNoAnswer = true;
  std::deque<QString> FileAnswers;  // none left, or an empty name: the user cancels

 private:
  std::optional<QString> Answer(const TFileDialogOptions& options) {
    Dialogs.push_back(options);
    if (FileAnswers.empty()) return std::nullopt;
    const QString answer = FileAnswers.front();
    FileAnswers.pop_front();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  }
};
