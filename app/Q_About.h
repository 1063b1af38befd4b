#pragma once
// The About window: the program's title, version and update date over a
// picture, in one of two variants chosen by the title's first letter.

#include <QDialog>
#include <QLabel>
#include <QPointer>

#include "i18n/Q_Language.h"
#include "platform/ModalRunner.h"

class TQAboutFrm : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kVersion = "2.2.0";
  static constexpr const char* kUpdated = "2011.11.15";
  static constexpr const char* kWebAddress = "https://vx8config.example.org";

  explicit TQAboutFrm(QWidget* parent = nullptr);

  QLabel* MainFormLbl;
  QLabel* Image1;  // the neutral picture
  QLabel* Image2;  // the picture of the "Q" variant
  QLabel* Image3;  // never shown
  QLabel* Image4;  // the "Q" variant's emblem
  QLabel* Label3;  // the "Q" variant's web address
  QLabel* ProgramVersionLab;
  QLabel* UpdatedLab;
};

// The one About window there is, or none; the program creates it hidden.
extern QPointer<TQAboutFrm> QAboutFrm;

// Fills the About window's texts in the current language and shows it
// modally; it is freed when it closes, and the next call makes a new one.
void ShowAboutWindow(TQLanguage& language, TModalRunner& modal, QWidget* mainWindow);
