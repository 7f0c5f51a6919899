#include "folderbrowse/ZuShellItemModel.h"

#include <QHash>
#include <QPainter>

#include "platform/ui/ShellIcons.h"

namespace tavo {
namespace {

// Icons by (icon index, open icon index, overlay index + 1), packed.
QHash<quint64, QIcon>& Made() {
  static QHash<quint64, QIcon> made;
  return made;
}

// The emblems' freedesktop names, by overlay index.
const char* const kEmblems[] = {"emblem-shared", "emblem-symbolic-link", "emblem-readonly", "emblem-unreadable"};

// An emblem of half the icon's size, from the theme, else drawn: an arrow
// (shared, link), a padlock (read-only), a no-entry sign (unreadable).
void DrawEmblem(QPainter& p, int overlayIndex, int size) {
  const int s = size / 2;
  const QRectF box(0.5, size - s - 0.5, s - 1, s - 1);
  const QIcon themed = QIcon::fromTheme(QString::fromLatin1(kEmblems[overlayIndex]));
  if (!themed.isNull()) {
    p.drawPixmap(box.toAlignedRect(), themed.pixmap(s, s));
    return;
  }
  p.setRenderHint(QPainter::Antialiasing);
  const qreal pen = size / 16.0 + 0.5;
  switch (overlayIndex) {
    case kOverlayShare - 1:
    case kOverlayLink - 1: {
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(Qt::white);
      p.drawRect(box);
      p.setPen(QPen(overlayIndex == kOverlayLink - 1 ? Qt::blue : Qt::darkGreen, pen));
      const QPointF from(box.left() + s * 0.25, box.bottom() - s * 0.2);
      const QPointF to(box.right() - s * 0.2, box.top() + s * 0.25);
      p.drawLine(from, to);
      p.drawLine(to, to + QPointF(-s * 0.35, 0));
      p.drawLine(to, to + QPointF(0, s * 0.35));
      break;
    }
    case kOverlayReadOnly - 1: {
      const QRectF body(box.left() + s * 0.15, box.top() + s * 0.45, s * 0.7, s * 0.5);
      p.setPen(QPen(Qt::black, pen));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(body.left() + s * 0.12, box.top() + s * 0.05, s * 0.46, s * 0.7), 0, 180 * 16);
      p.setBrush(QColor(0xC0, 0x90, 0x20));
      p.drawRect(body);
      break;
    }
    case kOverlayUnreadable - 1:
      p.setPen(QPen(Qt::white, 1));
      p.setBrush(QColor(0xCC, 0, 0));
      p.drawEllipse(box);
      p.setPen(QPen(Qt::white, pen * 1.5));
      p.drawLine(QPointF(box.left() + s * 0.25, box.center().y()), QPointF(box.right() - s * 0.25, box.center().y()));
      break;
    default:
      break;
  }
}

}  // namespace

QIcon ShellItemIcon(int iconIndex, int openIconIndex, int overlayIndex) {
  if (overlayIndex < -1 || overlayIndex >= static_cast<int>(std::size(kEmblems))) overlayIndex = -1;
  auto& made = Made();
  const quint64 key = (static_cast<quint64>(static_cast<quint32>(iconIndex)) << 32) |
                      (static_cast<quint64>(static_cast<quint16>(openIconIndex)) << 8) |
                      static_cast<quint64>(overlayIndex + 1);
  auto it = made.find(key);
  if (it != made.end()) return *it;
  QIcon icon;
  for (const int size : {16, 32}) {
    for (const auto& [index, mode] : {std::pair{iconIndex, QIcon::Normal}, std::pair{openIconIndex, QIcon::Selected}}) {
      QPixmap pm = ui::ShellIconPixmap(index, size);
      if (overlayIndex >= 0 && !pm.isNull()) {
        QPainter p(&pm);
        DrawEmblem(p, overlayIndex, size);
      }
      icon.addPixmap(pm, mode);
    }
  }
  return *made.insert(key, icon);
}

QIcon ShellItemIcon(TShellDataItem& item, int overlayIndex) {
  return ShellItemIcon(item.GetIconIndex(), item.GetOpenIconIndex(), overlayIndex);
}

void ReloadShellItemIcons() {
  Made().clear();
  ui::ReloadShellIcons();
}

QString OverlayWords(int overlayIndex) {
  switch (overlayIndex) {
    case kOverlayUnreadable - 1: return QStringLiteral("読み取れないフォルダ");
    case kOverlayReadOnly - 1: return QStringLiteral("読み取り専用");
    case kOverlayLink - 1: return QStringLiteral("リンク");
    case kOverlayShare - 1: return QStringLiteral("共有");
    default: return {};
  }
}

}  // namespace tavo
