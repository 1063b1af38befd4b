// vx8icon: draws the program's icon (a communicator with its antenna and
// waves) at the usual sizes into a hicolor icon tree.
//   vx8icon OUTPUT_DIR NAME
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // A rounded square of deep blue, the device in white on it.
  QLinearGradient back(0, 0, 0, 64);
  back.setColorAt(0, QColor(38, 92, 160));
  back.setColorAt(1, QColor(20, 52, 102));
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  p.setBrush(QColor(245, 247, 250));
  p.drawRoundedRect(QRectF(12, 30, 32, 24), 4, 4);
  p.setPen(QPen(QColor(245, 247, 250), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(37, 30), QPointF(37, 20));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 200, 120));
  p.drawEllipse(QPointF(19, 37), 3, 3);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(250, 200, 90), 2.5, Qt::SolidLine, Qt::RoundCap));
  for (int r = 6; r <= 14; r += 4) p.drawArc(QRectF(37 - r, 20 - r, 2 * r, 2 * r), 16 * 5, 16 * 70);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fputs("usage: vx8icon OUTPUT_DIR NAME\n", stderr);
    return 2;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    QDir().mkpath(dir);
    if (!Icon(size).save(dir + "/" + argv[2] + ".png")) return 1;
  }
  return 0;
}
