#include "folderbrowse/ZuShellUtils.h"

#include <ctime>

#include "platform/shell/ShellVolumes.h"
#include "platform/text/Cp932Lead.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

std::string VolumeLabelCase(std::string_view label) {
  std::string out;
  out.reserve(label.size());
  for (std::size_t i = 0; i < label.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(label[i]);
    if (IsLeadByte(c) && i + 1 < label.size()) {
      out += label[i];
      out += label[++i];
    } else {
      out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : label[i];
    }
  }
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
  return out;
}

std::string GetVolumeLabel(std::string_view rootPath) {
  auto os = ToOsPath(rootPath);
  if (!os) return {};
  while (os->size() > 1 && os->back() == '/') os->pop_back();
  const auto volumes = ShellVolumes();
  const ShellVolume* v = VolumeAt(volumes, *os);
  if (v == nullptr) return {};
  auto label = FromOsPath(VolumeLabelOf(*v));
  return label ? VolumeLabelCase(*label) : std::string();
}

std::string AddBackslash(std::string_view path) {
  std::string s(path);
  // '/' (0x2F) is below every CP932 trail byte, so a last byte '/' is always
  // a separator of its own.
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

std::optional<TDateTime> FileTimeToLocalDateTime(std::uint64_t fileTime) {
  if ((fileTime >> 32) == 0) return std::nullopt;
  constexpr std::uint64_t kTicks = 10000000;  // per second
  constexpr long long kEpochDelta = 11644473600LL;
  const long long secs = static_cast<long long>(fileTime / kTicks) - kEpochDelta;
  const double fraction = static_cast<double>(fileTime % kTicks) / kTicks;
  const std::time_t t = static_cast<std::time_t>(secs);
  std::tm tm{};
  if (::localtime_r(&t, &tm) == nullptr) return std::nullopt;
  const long long days = DaysFromCivil(tm.tm_year + 1900LL, static_cast<unsigned>(tm.tm_mon + 1),
                                       static_cast<unsigned>(tm.tm_mday)) -
                         DaysFromCivil(1899, 12, 30);
  const double dayPart = (tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + fraction) / 86400.0;
  // Before 1899-12-30 the day counts down and the time of day still counts up.
  return days >= 0 ? static_cast<double>(days) + dayPart : static_cast<double>(days) - dayPart;
}

}  // namespace tavo
