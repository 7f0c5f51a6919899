#include "platform/shell/ShellContextMenu.h"

#include "platform/shell/ShellFileOperation.h"
#include "platform/shell/ShellNamespace.h"
#include "platform/shell/ShellQuestions.h"
#include "platform/shell/ShellSpecialFolders.h"
#include "platform/shell/ShellTrash.h"
#include "platform/system/Process.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

ShellClipboardAccess& Clipboard() {
  static ShellClipboardAccess c;
  return c;
}

}  // namespace

void SetShellClipboard(ShellClipboardAccess access) { Clipboard() = std::move(access); }

std::unique_ptr<ShellContextMenu> ShellContextMenu::Create(PCItemIDList parent, std::span<const PCItemIDList> items) {
  if (items.empty() || ValidIDListSize(parent) == 0) return nullptr;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  ShellFolderPtr folder = CbOf(parent) == 0 ? desktop : desktop->BindToObject(parent);
  if (!folder) return nullptr;
  std::unique_ptr<ShellContextMenu> menu(new ShellContextMenu());
  menu->itemsData_ = MakeShellDataObject(parent, items);
  menu->osPaths_ = DataObjectOsPaths(menu->itemsData_);
  if (menu->osPaths_.size() != items.size()) return nullptr;
  for (const std::string& os : menu->osPaths_) {
    auto cp = FromOsPath(os);
    if (!cp) return nullptr;
    menu->cp932Paths_.push_back(std::move(*cp));
  }
  std::uint32_t a = SFGAO_CAPABILITYMASK | SFGAO_FOLDER;
  if (!folder->GetAttributesOf(items, a)) return nullptr;
  menu->attributes_ = a;
  // Deleting from the Trash would delete for good: the menu does not offer it.
  const std::string trash = TrashFilesOsPath() + "/";
  for (const std::string& os : menu->osPaths_) menu->inTrash_ = menu->inTrash_ || os.rfind(trash, 0) == 0;
  return menu;
}

bool ShellContextMenu::QueryContextMenu(std::vector<ShellMenuItem>& menu, std::size_t position, int idFirst,
                                        int idLast, std::uint32_t flags) {
  const bool one = osPaths_.size() == 1;
  const ShellDataObject clip = Clipboard().Get ? Clipboard().Get() : ShellDataObject();
  const bool canPaste = one && Can(SFGAO_FOLDER | SFGAO_DROPTARGET) && !DataObjectOsPaths(clip).empty();
  struct Entry {
    int verb;  // -1: a separator
    const char* text;
    bool shown;
  };
  const Entry entries[] = {
      {kVerbOpen, "\x8A\x4A\x82\xAD(&O)", true},  // 開く
      {-1, "", true},
      {kVerbCut, "\x90\xD8\x82\xE8\x8E\xE6\x82\xE8(&T)", Can(SFGAO_CANMOVE) && !inTrash_},  // 切り取り
      {kVerbCopy, "\x83\x52\x83\x73\x81\x5B(&C)", Can(SFGAO_CANCOPY)},                      // コピー
      {kVerbPaste, "\x93\x5C\x82\xE8\x95\x74\x82\xAF(&P)", canPaste},                       // 貼り付け
      {-1, "", true},
      {kVerbDelete, "\x8D\xED\x8F\x9C(&D)", Can(SFGAO_CANDELETE) && !inTrash_},  // 削除
      {kVerbRename, "\x96\xBC\x91\x4F\x82\xCC\x95\xCF\x8D\x58(&M)",              // 名前の変更
       one && (flags & CMF_CANRENAME) != 0 && Can(SFGAO_CANRENAME)},
      {-1, "", true},
      {kVerbCopyPath, "\x83\x70\x83\x58\x82\xCC\x83\x52\x83\x73\x81\x5B(&A)", true},  // パスのコピー
  };
  std::vector<ShellMenuItem> added;
  for (const Entry& e : entries) {
    if (!e.shown) continue;
    if (e.verb < 0) {
      if (!added.empty() && !added.back().separator) {
        added.emplace_back();
        added.back().separator = true;
      }
      continue;
    }
    if (idFirst + e.verb > idLast) continue;
    added.emplace_back();
    added.back().command = idFirst + e.verb;
    added.back().text = e.text;
    if ((flags & CMF_DEFAULTONLY) != 0) break;  // the default (open) alone
  }
  while (!added.empty() && added.back().separator) added.pop_back();
  if (added.empty()) return false;
  if (position > menu.size()) position = menu.size();
  menu.insert(menu.begin() + static_cast<std::ptrdiff_t>(position), added.begin(), added.end());
  return true;
}

bool ShellContextMenu::InvokeCommand(int verb) {
  switch (verb) {
    case kVerbOpen: {
      bool ok = true;
      for (const std::string& path : cp932Paths_) ok = ShellOpen(path) && ok;
      return ok;
    }
    case kVerbCut:
    case kVerbCopy: {
      if (!Clipboard().Set) return false;
      ShellDataObject data = itemsData_;
      // The mark, then one URI a line, without a last line end.
      std::string copied = verb == kVerbCut ? "cut" : "copy";
      for (const std::string& os : osPaths_) {
        const std::string uri = UriListOf({os});
        copied += "\n" + uri.substr(0, uri.size() - 2);
      }
      data.SetData(kCopiedFilesFormat, copied);
      Clipboard().Set(data);
      return true;
    }
    case kVerbPaste: {
      if (osPaths_.size() != 1 || !Clipboard().Get) return false;
      const ShellDataObject clip = Clipboard().Get();
      const std::vector<std::string> sources = DataObjectOsPaths(clip);
      if (sources.empty()) return false;
      const std::string* mark = clip.Data(kCopiedFilesFormat);
      const bool cut = mark != nullptr && mark->rfind("cut\n", 0) == 0;
      const FileOpKind kind = cut ? FileOpKind::Move : FileOpKind::Copy;
      std::vector<FileOpItem> items;
      FileOpProgress progress;
      RunFileOperation(kind, progress, [&items, &progress, &sources, folder = osPaths_[0], cut] {
        items = CopyOrMoveInto(sources, folder, cut, &progress);
      });
      const std::vector<FileOpItem> undone = ReportUndone(kind, items);
      // What was cut is gone from where the clipboard says: it no longer
      // names it.
      if (cut && undone.empty() && Clipboard().Set) Clipboard().Set(ShellDataObject());
      return undone.size() < items.size();
    }
    case kVerbDelete: {
      std::vector<FileOpItem> items;
      FileOpProgress progress;
      RunFileOperation(FileOpKind::Trash, progress, [&items, &progress, paths = osPaths_] {
        for (const std::string& os : paths)
          items.push_back(progress.Cancelled() ? FileOpItem{os, FileOpOutcome::Cancelled, 0}
                                               : MoveToTrash(os, &progress));
      });
      return ReportUndone(FileOpKind::Trash, items).size() < items.size();
    }
    case kVerbCopyPath: {
      if (!Clipboard().Set) return false;
      std::string text;
      for (const std::string& os : osPaths_) text += (text.empty() ? "" : "\n") + os;
      ShellDataObject data;
      data.SetData(kPlainTextFormat, text);
      Clipboard().Set(data);
      return true;
    }
    default:
      return false;  // rename is the caller's
  }
}

bool ShellContextMenu::GetCommandString(int verb, std::string& helpText) const {
  struct Help {
    int verb;
    const char* text;
  };
  static constexpr Help kHelp[] = {
    // 選択した項目を開きます。
    {kVerbOpen,
     "\x91\x49\x91\xF0\x82\xB5\x82\xBD\x8D\x80\x96\xDA\x82\xF0\x8A\x4A\x82\xAB\x82\xDC\x82\xB7\x81\x42"},
    // 選択した項目を切り取ります。貼り付けた先へ移動します。
    {kVerbCut,
     "\x91\x49\x91\xF0\x82\xB5\x82\xBD\x8D\x80\x96\xDA\x82\xF0\x90\xD8\x82\xE8\x8E\xE6\x82\xE8\x82\xDC"
     "\x82\xB7\x81\x42\x93\x5C\x82\xE8\x95\x74\x82\xAF\x82\xBD\x90\xE6\x82\xD6\x88\xDA\x93\xAE\x82\xB5"
     "\x82\xDC\x82\xB7\x81\x42"},
    // 選択した項目をコピーします。
    {kVerbCopy,
     "\x91\x49\x91\xF0\x82\xB5\x82\xBD\x8D\x80\x96\xDA\x82\xF0\x83\x52\x83\x73\x81\x5B\x82\xB5\x82\xDC"
     "\x82\xB7\x81\x42"},
    // 切り取りまたはコピーした項目をこのフォルダに貼り付けます。
    {kVerbPaste,
     "\x90\xD8\x82\xE8\x8E\xE6\x82\xE8\x82\xDC\x82\xBD\x82\xCD\x83\x52\x83\x73\x81\x5B\x82\xB5\x82\xBD"
     "\x8D\x80\x96\xDA\x82\xF0\x82\xB1\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x82\xC9\x93\x5C\x82\xE8"
     "\x95\x74\x82\xAF\x82\xDC\x82\xB7\x81\x42"},
    // 選択した項目をごみ箱に移動します。
    {kVerbDelete,
     "\x91\x49\x91\xF0\x82\xB5\x82\xBD\x8D\x80\x96\xDA\x82\xF0\x82\xB2\x82\xDD\x94\xA0\x82\xC9\x88\xDA"
     "\x93\xAE\x82\xB5\x82\xDC\x82\xB7\x81\x42"},
    // 選択した項目の名前を変更します。
    {kVerbRename,
     "\x91\x49\x91\xF0\x82\xB5\x82\xBD\x8D\x80\x96\xDA\x82\xCC\x96\xBC\x91\x4F\x82\xF0\x95\xCF\x8D\x58"
     "\x82\xB5\x82\xDC\x82\xB7\x81\x42"},
    // 選択した項目のパスをコピーします。
    {kVerbCopyPath,
     "\x91\x49\x91\xF0\x82\xB5\x82\xBD\x8D\x80\x96\xDA\x82\xCC\x83\x70\x83\x58\x82\xF0\x83\x52\x83\x73"
     "\x81\x5B\x82\xB5\x82\xDC\x82\xB7\x81\x42"},
  };
  helpText.clear();
  for (const Help& h : kHelp) {
    if (h.verb != verb) continue;
    helpText = h.text;
    return true;
  }
  return false;
}

}  // namespace tavo
