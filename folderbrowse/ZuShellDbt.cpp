#include "folderbrowse/ZuShellDbt.h"

#include <utility>

namespace tavo {

DEV_BROADCAST_VOLUME MakeVolumeBroadcast(std::string mountPoint, uint16_t flags) {
  DEV_BROADCAST_VOLUME record;
  record.dbch_size = sizeof(DEV_BROADCAST_VOLUME);
  record.dbch_devicetype = DBT_DEVTYP_VOLUME;
  record.dbcv_mountpoint = std::move(mountPoint);
  record.dbcv_flags = flags;
  return record;
}

}  // namespace tavo
