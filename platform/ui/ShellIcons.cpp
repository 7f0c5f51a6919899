#include "platform/ui/ShellIcons.h"

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

std::array<QIcon, kIconCount>& Icons(bool reload) {
  // Never destroyed: icon engines must not outlive the application's
  // plugins at exit.
  static auto* icons = new std::array<QIcon, kIconCount>;
  static bool made = false;
  if (!made || reload) {
    for (std::size_t i = 0; i < kKinds.size(); ++i) (*icons)[i] = Make(kKinds[i]);
    made = true;
  }
  return *icons;
}

}  // namespace

QIcon ShellIcon(int index) {
  if (index < 0 || index >= kIconCount) index = kIconDocument;
  return Icons(false)[static_cast<std::size_t>(index)];
}

void ReloadShellIcons() { Icons(true); }

QPixmap ShellIconPixmap(int index, int size) { return ShellIcon(index).pixmap(size, size); }

}  // namespace tavo::ui
