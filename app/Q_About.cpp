#include "app/Q_About.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/Text.h"

QPointer<TQAboutFrm> QAboutFrm;

namespace {

// Our own pictures, drawn rather than shipped: a communicator on a calm
// background, and a warmer variant with an emblem.
QPixmap Picture(bool warm) {
  QPixmap pixmap(327, 126);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 126);
  sky.setColorAt(0, warm ? QColor(250, 236, 214) : QColor(226, 236, 248));
  sky.setColorAt(1, warm ? QColor(233, 196, 150) : QColor(178, 202, 232));
  p.fillRect(pixmap.rect(), sky);
  // The device: a box with a status light and an antenna.
  p.setPen(QPen(QColor(60, 70, 90), 2));
  p.setBrush(QColor(245, 247, 250));
  p.drawRoundedRect(QRectF(232, 42, 64, 58), 6, 6);
  p.drawLine(QPointF(284, 42), QPointF(284, 14));
  p.setBrush(warm ? QColor(220, 120, 40) : QColor(60, 170, 90));
  p.drawEllipse(QPointF(246, 56), 4, 4);
  // Waves from the antenna.
  p.setBrush(Qt::NoBrush);
  for (int r = 8; r <= 24; r += 8)
    p.drawArc(QRectF(284 - r, 14 - r, 2 * r, 2 * r), 16 * 20, 16 * 50);
  return pixmap;
}

QPixmap Emblem() {
  QPixmap pixmap(98, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(200, 90, 30));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(2, 2, 20, 20));
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, "Q");
  return pixmap;
}

}  // namespace

TQAboutFrm::TQAboutFrm(QWidget* parent)
    : QDialog(parent),
      MainFormLbl(new QLabel(this)),
      Image1(new QLabel(this)),
      Image2(new QLabel(this)),
      Image3(new QLabel(this)),
      Image4(new QLabel(this)),
      Label3(new QLabel(this)),
      ProgramVersionLab(new QLabel(this)),
      UpdatedLab(new QLabel(this)) {
  setObjectName("QAboutFrm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(353, 249);
  const struct {
    QLabel* Label;
    const char* Name;
    QRect Place;
  } parts[] = {
      {MainFormLbl, "MainFormLbl", {8, 8, 204 + 120, 42}},
      {Image1, "Image1", {12, 80, 327, 126}},
      {Image2, "Image2", {12, 80, 327, 126}},
      {Image3, "Image3", {10, 8, 203, 41}},
      {Image4, "Image4", {15, 217, 98, 24}},
      {Label3, "Label3", {128, 218, 210, 20}},
      {ProgramVersionLab, "ProgramVersionLab", {24, 88, 200, 18}},
      {UpdatedLab, "UpdatedLab", {24, 112, 200, 18}},
  };
  for (const auto& part : parts) {
    part.Label->setObjectName(part.Name);
    part.Label->setGeometry(part.Place);
  }
  QFont title("Times New Roman");
  title.setPixelSize(37);
  MainFormLbl->setFont(title);
  Image1->setPixmap(Picture(false));
  Image2->setPixmap(Picture(true));
  Image3->setPixmap(Picture(false).scaled(203, 41));
  Image4->setPixmap(Emblem());
  Label3->setText(QString("<a href=\"%1\">%1</a>").arg(kWebAddress));
  Label3->setOpenExternalLinks(true);
  Label3->setCursor(Qt::PointingHandCursor);
  Image2->hide();
  Image3->hide();
  Image4->hide();
  Label3->hide();
  // The version lines lie over the picture.
  ProgramVersionLab->raise();
  UpdatedLab->raise();
}

void ShowAboutWindow(TQLanguage& language, TModalRunner& modal, QWidget* mainWindow) {
  if (!QAboutFrm) QAboutFrm = new TQAboutFrm();
  TQAboutFrm& about = *QAboutFrm;
  about.setWindowTitle(language.TranslateToQ("About"));
  about.ProgramVersionLab->setText(language.TranslateToQ("ProgramVersion") + ": " +
                                   TQAboutFrm::kVersion);
  about.UpdatedLab->setText(language.TranslateToQ("UpdateDate") + ": " + TQAboutFrm::kUpdated);
  const QString title = language.TranslateToQ("MainForm");
  about.MainFormLbl->setText(title);
  const bool q = title.startsWith('Q');
  about.Image4->setVisible(q);
  about.Label3->setVisible(q);
  about.Image2->setVisible(q);
  about.Image1->setVisible(!q);
  about.Image3->hide();
  if (mainWindow)
    about.move(mainWindow->geometry().center() - QPoint(about.width() / 2, about.height() / 2));
  modal.Run(about);
  delete QAboutFrm.data();
  QAboutFrm = nullptr;
}
