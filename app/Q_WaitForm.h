#pragma once
// The wait window: a translated request to wait, inside the main window,
// while a device command runs. It keeps the window's toolbar, tree and pages
// disabled and goes by itself once the link is idle again.

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "i18n/Q_Language.h"

class TQWaitFrm : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kCheckIntervalMs = 100;

  struct THost {
    std::function<bool()> LinkIdle;
    std::function<void(bool lock)> LockMainControls;
  };

  TQWaitFrm(THost host, TQLanguage* language, QWidget* mainWindow);
  ~TQWaitFrm() override;  // FormDestroy

  // Every 100 ms: once the link is idle, the window goes.
  void CheckStateTmrTimer();
  void FormDestroy();

  QTimer* CheckStateTmr;
  QLabel* PleaseWaitLbl;

 private:
  THost FHost;
  TQLanguage* FLanguage;
  bool FDestroyed = false;
};

// The one wait window there is, or none.
extern QPointer<TQWaitFrm> QWaitFrm;
