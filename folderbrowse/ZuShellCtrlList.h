// The registry of the shell controls that exist (folder trees and file
// lists) and the device-change broadcast to them.
//
// While at least one control is registered, a mount-table monitor
// (MountMonitor.h) runs in place of a hidden window: each removable or
// network volume that is mounted or unmounted arrives on the UI thread as a
// WM_DEVICECHANGE broadcast with a volume record, which is turned into a
// caption and the volume's item-identifier list and handed to every
// registered control. A volume's caption is its name in My Computer (its
// label and mount point, or the mount point alone). A tree posts it to its folder watcher, which delivers
// it back to the tree's DeviceChanged once drive changes have rested; a file
// list takes it and does nothing.
//
// UI thread only. Controls are not owned; a control unregisters before it
// goes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellDbt.h"
#include "folderbrowse/ZuShellIDFunc.h"
#include "folderbrowse/ZuShellNotify.h"
#include "platform/shell/MountMonitor.h"
#include "platform/shell/UniquePIDL.h"

class QObject;

namespace tavo {

// A registered control.
class TShellDeviceChangeReceiver {
 public:
  // A volume came or went. `driveList` (null for a network change) is only
  // lent for the call.
  virtual void PostDeviceToWatcher(const std::string& caption, uint32_t event, PCItemIDList driveList,
                                   uint16_t kind) = 0;

 protected:
  ~TShellDeviceChangeReceiver() = default;
};

// The folder tree's side: each change goes, as its own TDeviceChangeData
// with its own copy of the list, to the tree's watcher, which delivers it
// to DeviceChanged (the watcher's device callback) on the UI thread.
class TShellTreeDeviceReceiver : public TShellDeviceChangeReceiver {
 public:
  void PostDeviceToWatcher(const std::string& caption, uint32_t event, PCItemIDList driveList,
                           uint16_t kind) final;
  // The tree's reaction; it owns `data`.
  virtual void DeviceChanged(TShDirWatcher* sender, std::unique_ptr<TDeviceChangeData> data) = 0;

 protected:
  ~TShellTreeDeviceReceiver() = default;
  // The tree's watcher; null when it has none (the change is then dropped).
  virtual TShDirWatcher* DeviceWatcher() const = 0;
};

class TShellCtrlList {
 public:
  // `options` say which mount table to watch (tests watch another one).
  explicit TShellCtrlList(MountMonitorOptions options = {});
  ~TShellCtrlList();
  TShellCtrlList(const TShellCtrlList&) = delete;
  TShellCtrlList& operator=(const TShellCtrlList&) = delete;

  // Appends the control; the first registration starts the monitor (when
  // the mount table cannot be watched, controls are registered all the same
  // and no broadcast comes).
  void RegisterControl(TShellDeviceChangeReceiver* control);
  // Removes the control; the last unregistration stops the monitor.
  void UnregisterControl(TShellDeviceChangeReceiver* control);

  int Count() const { return static_cast<int>(controls_.size()); }
  // True while the monitor runs.
  bool Listening() const { return monitor_ != nullptr; }

  // Hands the change to every registered control, first to last.
  void DispatchDeviceChange(const std::string& caption, uint32_t event, PCItemIDList driveList, uint16_t kind);

  // A broadcast: WM_DEVICECHANGE with DBT_DEVICEARRIVAL or
  // DBT_DEVICEREMOVECOMPLETE and a volume record is handled; everything
  // else is ignored. An exception goes to the application's error handler.
  void DeviceWndProc(uint32_t msg, uint32_t wParam, const DEV_BROADCAST_HDR* lParam);

 private:
  void HandleDeviceChange(uint32_t event, const DEV_BROADCAST_HDR& header);
  void StartMonitor();
  void StopMonitor();
  void ForgetVolumes();

  const MountMonitorOptions options_;
  std::vector<TShellDeviceChangeReceiver*> controls_;
  std::unique_ptr<QObject> window_;  // receives the monitor's changes on the UI thread
  std::unique_ptr<MountMonitor> monitor_;
  // The list and name of each volume taken while it was mounted: after its
  // removal its mount point is an ordinary folder (or gone) and no longer
  // names it.
  struct KnownVolume {
    UniquePIDL list;
    std::string caption;
  };
  std::map<std::string, KnownVolume> volumeLists_;
};

// The one registry of the program, made on first use.
TShellCtrlList& ShellCtrlList();

}  // namespace tavo
