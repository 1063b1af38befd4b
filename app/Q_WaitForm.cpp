#include "app/Q_WaitForm.h"

QPointer<TQWaitFrm> QWaitFrm;

TQWaitFrm::TQWaitFrm(THost host, TQLanguage* language, QWidget* mainWindow)
    : QFrame(mainWindow),
      CheckStateTmr(new QTimer(this)),
      PleaseWaitLbl(new QLabel(this)),
      FHost(std::move(host)),
      FLanguage(language) {
  setObjectName("QWaitFrm");
  CheckStateTmr->setObjectName("CheckStateTmr");
  PleaseWaitLbl->setObjectName("PleaseWaitLbl");
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
  resize(240, 69);
  PleaseWaitLbl->setGeometry(0, 22, 241, 25);
  PleaseWaitLbl->setAlignment(Qt::AlignCenter);
  CheckStateTmr->setInterval(kCheckIntervalMs);
  connect(CheckStateTmr, &QTimer::timeout, this, [this] { CheckStateTmrTimer(); });
  CheckStateTmr->start();
}

TQWaitFrm::~TQWaitFrm() {
  FormDestroy();
}

void TQWaitFrm::CheckStateTmrTimer() {
  if (!FHost.LinkIdle || !FHost.LinkIdle()) return;
  // The controls come back now; the window itself goes once the event loop
  // is free to delete it.
  FormDestroy();
  QWaitFrm = nullptr;
  deleteLater();
}

void TQWaitFrm::FormDestroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  CheckStateTmr->stop();
  hide();
  if (parentWidget() && FHost.LockMainControls) FHost.LockMainControls(false);
  if (FLanguage) FLanguage->UnregisterForm(this);
}
