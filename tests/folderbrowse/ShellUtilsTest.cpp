// Volume labels, the trailing separator, file times, the mount table, key
// states and the library's texts.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "folderbrowse/ZuShellCst.h"
#include "folderbrowse/ZuShellCtrls.h"
#include "folderbrowse/ZuShellUtils.h"
#include "platform/shell/ShellVolumes.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

TEST(ShellUtils, AddBackslashAddsOneSeparator) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"/media/usb", "/media/usb/"},
      {"/", "/"},
      {"/a/", "/a/"},
      {sj("/表"), sj("/表") + "/"},  // 表 ends in the byte 0x5C
      {sj("/ソ"), sj("/ソ") + "/"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(AddBackslash(c.in), c.out) << hex(c.in);
}

TEST(ShellUtils, VolumeLabelCase) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"DATA", "Data"},       {"data", "Data"},         {"", ""},
      {"1ABC", "1abc"},       {"MY DISK", "My disk"},   {sj("表DATA"), sj("表data")},
      {sj("ＤＡＴＡ"), sj("ＤＡＴＡ")},  // double-byte letters stay
      {sj("ｱDATA"), sj("ｱdata")},         // a single-byte kana is no letter
  };
  for (const Case& c : cases) EXPECT_EQ(VolumeLabelCase(c.in), c.out) << hex(c.in);
}

class ShellLabels : public ShellTest {};

TEST_F(ShellLabels, LabelsComeFromTheDevicesLinks) {
  MakeDir(Os("by-label"));
  MakeFile(Os("sdb1"));
  MakeFile(Os("sdc1"));
  ASSERT_EQ(::symlink(Os("sdb1").c_str(), Os("by-label/MY\\x20DISK").c_str()), 0);
  ASSERT_EQ(::symlink("../sdc1", Os("by-label/表").c_str()), 0);
  ShellVolume v;
  v.source = Os("sdb1");
  EXPECT_EQ(VolumeLabelOf(v, Os("by-label")), "MY DISK");
  v.source = Os("sdc1");
  EXPECT_EQ(VolumeLabelOf(v, Os("by-label")), "表");
  v.source = Os("other");
  EXPECT_EQ(VolumeLabelOf(v, Os("by-label")), "");
  v.source = "tmpfs";
  EXPECT_EQ(VolumeLabelOf(v, Os("by-label")), "");
  // Not a mount point: no volume, no label.
  EXPECT_EQ(GetVolumeLabel(Root()), "");
  EXPECT_EQ(GetVolumeLabel(""), "");
}

TEST(ShellUtils, FileTimesInLocalTime) {
  const char* oldTz = std::getenv("TZ");
  const std::optional<std::string> saved = oldTz ? std::optional<std::string>(oldTz) : std::nullopt;
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  constexpr std::uint64_t kY2k = (946684800ULL + 11644473600ULL) * 10000000ULL;  // 2000-01-01 00:00 UTC
  EXPECT_EQ(FileTimeToLocalDateTime(0), std::nullopt);
  EXPECT_EQ(FileTimeToLocalDateTime(0xFFFFFFFFULL), std::nullopt);   // high half 0: 1601
  EXPECT_EQ(FileTimeToLocalDateTime(kY2k), 36526.0);
  EXPECT_DOUBLE_EQ(*FileTimeToLocalDateTime(kY2k + 12ULL * 3600 * 10000000), 36526.5);
  // A real moment whose low half happens to be 0 is still a time.
  EXPECT_TRUE(FileTimeToLocalDateTime(0x01D0000000000000ULL).has_value());
  // Before 1899-12-30 the day counts down and the hours still count up.
  constexpr std::uint64_t k1899 = (11644473600ULL - 2209161600ULL - 86400ULL + 6 * 3600) * 10000000ULL;
  EXPECT_DOUBLE_EQ(*FileTimeToLocalDateTime(k1899), -1.25);
  ::setenv("TZ", "JST-9", 1);
  ::tzset();
  EXPECT_DOUBLE_EQ(*FileTimeToLocalDateTime(kY2k), 36526.375);
  if (saved) {
    ::setenv("TZ", saved->c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

TEST(ShellUtils, TheMountTableGivesTheVolumes) {
  const std::string table =
      "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
      "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
      "30 27 8:2 / /home rw - ext4 /dev/sda2 rw\n"
      "31 27 8:17 / /media/u/USB\\040STICK rw shared:1 - vfat /dev/sdb1 rw\n"
      "32 27 8:33 / /run/media/u/CD ro - iso9660 /dev/sr0 ro\n"
      "33 27 8:49 / /mnt/data rw - xfs /dev/sdc1 rw\n"
      "34 27 0:50 / /srv/share rw - nfs4 server:/export rw\n"
      "35 27 0:51 / /mnt/auto rw - autofs systemd-1 rw\n"
      "36 27 0:52 / /tmp rw - tmpfs tmpfs rw\n"
      "37 33 8:65 / /mnt/data rw - ext4 /dev/sde1 rw\n"
      "garbage\n"
      "38 27 0:53 / /net/host rw master:7 unbindable - cifs //host/share rw\n";
  const auto volumes = ParseMountInfo(table);
  struct Want {
    const char* mountPoint;
    VolumeKind kind;
    const char* source;
  };
  const Want want[] = {
      {"/", VolumeKind::Fixed, "/dev/vda"},
      {"/home", VolumeKind::Fixed, "/dev/sda2"},
      {"/media/u/USB STICK", VolumeKind::Removable, "/dev/sdb1"},
      {"/run/media/u/CD", VolumeKind::Removable, "/dev/sr0"},
      {"/srv/share", VolumeKind::Network, "server:/export"},
      {"/mnt/data", VolumeKind::Fixed, "/dev/sde1"},  // the mount on top
      {"/net/host", VolumeKind::Network, "//host/share"},
  };
  ASSERT_EQ(volumes.size(), std::size(want));
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    EXPECT_EQ(volumes[i].mountPoint, want[i].mountPoint);
    EXPECT_EQ(volumes[i].kind, want[i].kind) << want[i].mountPoint;
    EXPECT_EQ(volumes[i].source, want[i].source);
  }
  EXPECT_EQ(VolumeOfPath(volumes, "/media/u/USB STICK/dir")->mountPoint, "/media/u/USB STICK");
  EXPECT_EQ(VolumeOfPath(volumes, "/media/u/USB")->mountPoint, "/");
  EXPECT_EQ(VolumeOfPath(volumes, "/homework")->mountPoint, "/");
  EXPECT_EQ(VolumeOfPath(volumes, "/home")->mountPoint, "/home");
  // Without a readable table "/" is still there.
  const auto none = ParseMountInfo("");
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].mountPoint, "/");
  EXPECT_NE(VolumeAt(ShellVolumes(), "/"), nullptr);
}

TEST(ShellUtils, KeyStatesAndTexts) {
  struct Case {
    std::uint32_t keys;
    TShiftState state;
  };
  const Case cases[] = {
      {0, 0},
      {MK_SHIFT, ssShift},
      {MK_CONTROL, ssCtrl},
      {MK_ALT, ssAlt},
      {MK_LBUTTON, ssLeft},
      {MK_RBUTTON, ssRight},
      {MK_MBUTTON, ssMiddle},
      {MK_SHIFT | MK_CONTROL | MK_LBUTTON | 0x40, ssShift | ssCtrl | ssLeft},
  };
  for (const Case& c : cases) EXPECT_EQ(ShiftStateFromKeys(c.keys), c.state) << c.keys;

  EXPECT_EQ(ShellResourceString(65286), sj("名前"));
  EXPECT_EQ(ShellResourceString(65287), sj("サイズ"));
  EXPECT_EQ(ShellResourceString(65288), sj("ファイルの種類"));
  EXPECT_EQ(ShellResourceString(65289), sj("更新日時"));
  EXPECT_EQ(ShellResourceString(65290), sj("属性"));
  EXPECT_EQ(ShellResourceString(65291), sj("パラメータが不正です。"));
  EXPECT_EQ(ShellResourceString(65292), "");
  EXPECT_EQ(ShellColumnCaptions()[4], sj("属性"));
  EXPECT_EQ(ShellClipFormats[cfHDrop], "text/uri-list");
  ASSERT_NE(SystemImageList(true), nullptr);
  EXPECT_EQ(SystemImageList(true)->iconSize, 32);
  EXPECT_EQ(SystemImageList(false)->iconSize, 16);
}

}  // namespace
}  // namespace tavo::test
