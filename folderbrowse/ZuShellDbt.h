// Device-change broadcasts: the message and event numbers and the records
// that a broadcast carries.
//
// Volumes are named by their mount point, which stands where a mask of drive
// letters stood: every broadcast is about exactly one volume.
#pragma once

#include <cstdint>
#include <string>

namespace tavo {

constexpr uint32_t WM_DEVICECHANGE = 0x0219;
constexpr uint32_t DBT_DEVICEARRIVAL = 0x8000;
constexpr uint32_t DBT_DEVICEREMOVECOMPLETE = 0x8004;

constexpr uint32_t DBT_DEVTYP_VOLUME = 2;

constexpr uint16_t DBTF_MEDIA = 0x0001;  // a removable volume
constexpr uint16_t DBTF_NET = 0x0002;    // a network volume

struct DEV_BROADCAST_HDR {
  uint32_t dbch_size = 0;
  uint32_t dbch_devicetype = 0;
  uint32_t dbch_reserved = 0;
};

// dbch_devicetype DBT_DEVTYP_VOLUME.
struct DEV_BROADCAST_VOLUME : DEV_BROADCAST_HDR {
  std::string dbcv_mountpoint;  // CP932, without a trailing '/'
  uint16_t dbcv_flags = 0;      // DBTF_MEDIA, DBTF_NET or neither
};

// A volume record with its header filled in.
DEV_BROADCAST_VOLUME MakeVolumeBroadcast(std::string mountPoint, uint16_t flags);

}  // namespace tavo
