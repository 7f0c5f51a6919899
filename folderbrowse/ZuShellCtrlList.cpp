#include "folderbrowse/ZuShellCtrlList.h"

#include <QObject>

#include <algorithm>
#include <exception>
#include <utility>

#include "folderbrowse/ZuShellUtils.h"
#include "platform/system/OSError.h"
#include "platform/ui/Application.h"

namespace tavo {
namespace {

// Frees a list however the scope is left.
struct ListGuard {
  PItemIDList& list;
  ~ListGuard() { FreePIDL(list); }
};

TShellCtrlList* g_shellCtrlList = nullptr;

// A volume is named as My Computer names it, so that a drive report and the
// volume's node agree; the mount point when it cannot be asked.
std::string VolumeName(PCItemIDList volumeList, const std::string& mountPoint) {
  PItemIDList raw = nullptr;
  GetSpecialFolderPIDL(13, raw);
  const UniquePIDL computer(raw);
  std::string name;
  if (computer) {
    ShellFolderPtr folder = ShellGetDesktopFolder()->BindToObject(computer.get());
    PCItemIDList volume = NextItemID(volumeList);
    if (folder && volume != nullptr && CountItemIDs(volumeList) == 2 &&
        StrRetToString(folder, volume, SHGDN_INFOLDER, name) && !name.empty())
      return name;
  }
  return mountPoint;
}

}  // namespace

void TShellTreeDeviceReceiver::PostDeviceToWatcher(const std::string& caption, uint32_t event,
                                                   PCItemIDList driveList, uint16_t kind) {
  if (TShDirWatcher* watcher = DeviceWatcher())
    watcher->PostDeviceChange(std::make_unique<TDeviceChangeData>(caption, event, kind, driveList));
}

TShellCtrlList::TShellCtrlList(MountMonitorOptions options) : options_(std::move(options)) {}

TShellCtrlList::~TShellCtrlList() { StopMonitor(); }

void TShellCtrlList::RegisterControl(TShellDeviceChangeReceiver* control) {
  if (controls_.empty()) StartMonitor();
  controls_.push_back(control);
}

void TShellCtrlList::UnregisterControl(TShellDeviceChangeReceiver* control) {
  const auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (controls_.empty()) StopMonitor();
}

void TShellCtrlList::DispatchDeviceChange(const std::string& caption, uint32_t event, PCItemIDList driveList,
                                          uint16_t kind) {
  // A control may unregister (or register another) while it takes the
  // change; the others still get it, the gone one does not.
  const std::vector<TShellDeviceChangeReceiver*> controls = controls_;
  for (TShellDeviceChangeReceiver* control : controls) {
    if (control == nullptr) continue;
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) continue;
    control->PostDeviceToWatcher(caption, event, driveList, kind);
  }
}

void TShellCtrlList::DeviceWndProc(uint32_t msg, uint32_t wParam, const DEV_BROADCAST_HDR* lParam) {
  if (msg != WM_DEVICECHANGE || lParam == nullptr) return;
  if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return;
  try {
    HandleDeviceChange(wParam, *lParam);
  } catch (const std::exception& e) {
    ui::HandleException(e);
  } catch (...) {
    ui::HandleUnknownException();
  }
}

void TShellCtrlList::HandleDeviceChange(uint32_t event, const DEV_BROADCAST_HDR& header) {
  if (header.dbch_devicetype != DBT_DEVTYP_VOLUME || header.dbch_size < sizeof(DEV_BROADCAST_VOLUME)) return;
  const auto& volume = static_cast<const DEV_BROADCAST_VOLUME&>(header);
  if ((volume.dbcv_flags & DBTF_MEDIA) != 0) {
    // The drive name is the mount point; its root path ends in '/'.
    const std::string& driveName = volume.dbcv_mountpoint;
    if (driveName.empty()) return;
    const std::string rootPath = AddBackslash(driveName);
    PItemIDList list = nullptr;
    ListGuard guard{list};
    std::string caption;
    if (event == DBT_DEVICEARRIVAL) {
      if (!PathToPIDL(rootPath, list)) return;
      caption = VolumeName(list, driveName);
      volumeLists_[driveName] = {UniquePIDL::CopyOf(list), caption};
    } else {
      const auto known = volumeLists_.find(driveName);
      if (known != volumeLists_.end()) {
        list = known->second.list.release();
        caption = known->second.caption;
        volumeLists_.erase(known);
      } else if (!PathToPIDL(rootPath, list)) {
        return;
      } else {
        caption = driveName;
      }
    }
    DispatchDeviceChange(caption, event, list, kDeviceMedia);
  } else if ((volume.dbcv_flags & DBTF_NET) != 0) {
    DispatchDeviceChange(std::string(), event, nullptr, kDeviceNetwork);
  }
}

void TShellCtrlList::StartMonitor() {
  auto window = std::make_unique<QObject>();
  QObject* receiver = window.get();
  try {
    monitor_ = std::make_unique<MountMonitor>(options_, [this, receiver](const VolumeChange& change) {
      // From the monitor's thread to the UI thread; a change still queued
      // when the receiver goes is dropped with it.
      QMetaObject::invokeMethod(
          receiver,
          [this, change] {
            const DEV_BROADCAST_VOLUME record = MakeVolumeBroadcast(
                change.volume.mountPoint, change.volume.kind == VolumeKind::Network ? DBTF_NET : DBTF_MEDIA);
            DeviceWndProc(WM_DEVICECHANGE, change.arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, &record);
          },
          Qt::QueuedConnection);
    });
  } catch (const EOSError&) {
    return;  // no mount table: no broadcasts
  }
  window_ = std::move(window);
  for (const MonitoredVolume& volume : monitor_->Volumes()) {
    if (volume.kind != VolumeKind::Removable) continue;
    PItemIDList raw = nullptr;
    if (!PathToPIDL(AddBackslash(volume.mountPoint), raw)) continue;
    UniquePIDL list(raw);
    std::string caption = VolumeName(list.get(), volume.mountPoint);
    volumeLists_[volume.mountPoint] = {std::move(list), std::move(caption)};
  }
}

void TShellCtrlList::StopMonitor() {
  monitor_.reset();  // joins: no change is queued after this
  window_.reset();   // drops the changes still queued
  ForgetVolumes();
}

void TShellCtrlList::ForgetVolumes() {
  volumeLists_.clear();
}

TShellCtrlList& ShellCtrlList() {
  if (g_shellCtrlList == nullptr) g_shellCtrlList = new TShellCtrlList;
  return *g_shellCtrlList;
}

}  // namespace tavo
