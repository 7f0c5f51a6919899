#include "platform/shell/ShellIcons.h"

#include <QApplication>
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

}  // namespace tavo::ui
