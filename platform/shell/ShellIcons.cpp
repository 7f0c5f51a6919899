#include "platform/shell/ShellIcons.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <array>

#include "platform/shell/ShellFileInfo.h"

namespace tavo::ui {
namespace {

struct Kind {
  const char* theme;  // freedesktop icon-naming name
  QStyle::StandardPixmap fallback;
};

const std::array<Kind, kIconCount> kKinds = {{
    {"text-x-generic", QStyle::SP_FileIcon},                  // kIconDocument
    {"x-office-document", QStyle::SP_FileIcon},               // kIconRuteDocument
    {"folder", QStyle::SP_DirIcon},                           // kIconFolder
    {"folder-open", QStyle::SP_DirOpenIcon},                  // kIconOpenFolder
    {"drive-harddisk", QStyle::SP_DriveHDIcon},               // kIconFixedVolume
    {"drive-removable-media", QStyle::SP_DriveFDIcon},        // kIconRemovableVolume
    {"folder-remote", QStyle::SP_DriveNetIcon},               // kIconNetworkVolume
    {"user-desktop", QStyle::SP_DesktopIcon},                 // kIconDesktop
    {"computer", QStyle::SP_ComputerIcon},                    // kIconComputer
    {"network-workgroup", QStyle::SP_DriveNetIcon},           // kIconNetwork
    {"user-trash", QStyle::SP_TrashIcon},                     // kIconTrash
}};

QIcon Make(const Kind& k) {
  QIcon icon = QIcon::fromTheme(QString::fromLatin1(k.theme));
  if (!icon.isNull()) return icon;
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    icon = QApplication::style()->standardIcon(k.fallback);
  return icon;
}

}  // namespace

QIcon ShellIcon(int index) {
  // Never destroyed: icon engines must not outlive the application's
  // plugins at exit.
  static const auto* icons = [] {
    auto* a = new std::array<QIcon, kIconCount>;
    for (std::size_t i = 0; i < kKinds.size(); ++i) (*a)[i] = Make(kKinds[i]);
    return a;
  }();
  if (index < 0 || index >= kIconCount) index = kIconDocument;
  return (*icons)[static_cast<std::size_t>(index)];
}

QPixmap ShellIconPixmap(int index, int size) { return ShellIcon(index).pixmap(size, size); }

QPixmap ShellOverlayPixmap(int overlayIndex, int size) {
  if (overlayIndex != 0 && overlayIndex != 1) return {};
  const QIcon themed = QIcon::fromTheme(QString::fromLatin1(overlayIndex == 0 ? "emblem-shared" : "emblem-symbolic-link"));
  if (!themed.isNull()) return themed.pixmap(size, size);
  // Built in: a framed box with an arrow out of its corner (a link's blue,
  // a shared object's green).
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(0.5, 0.5, size - 1, size - 1);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setPen(QPen(overlayIndex == 1 ? Qt::blue : Qt::darkGreen, size / 8.0 + 0.5));
  const QPointF from(box.left() + size * 0.25, box.bottom() - size * 0.2);
  const QPointF to(box.right() - size * 0.2, box.top() + size * 0.25);
  p.drawLine(from, to);
  p.drawLine(to, to + QPointF(-size * 0.35, 0));
  p.drawLine(to, to + QPointF(0, size * 0.35));
  return pm;
}

}  // namespace tavo::ui
