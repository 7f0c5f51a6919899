#include "platform/text/QtText.h"

#include "platform/text/BrailleGlyph.h"
#include "platform/text/Cp932.h"
#include "platform/text/Cp932Lead.h"
#include "platform/text/Cp932Name.h"

namespace tavo {
namespace {

// Converts one run of CP932 text that contains no cell characters; a run that
// does not convert as a whole is converted character by character.
void AppendRun(std::string_view run, QString& out) {
  if (run.empty()) return;
  if (auto u = Cp932ToUtf8(run)) {
    out += QString::fromUtf8(u->data(), static_cast<qsizetype>(u->size()));
    return;
  }
  for (size_t i = 0; i < run.size();) {
    size_t n = IsLeadByte(static_cast<unsigned char>(run[i])) && i + 1 < run.size() ? 2 : 1;
    if (auto u = Cp932ToUtf8(run.substr(i, n)))
      out += QString::fromUtf8(u->data(), static_cast<qsizetype>(u->size()));
    else
      out += QChar(0xFFFD);
    i += n;
  }
}

QString Convert(std::string_view s, bool braillePatterns) {
  QString out;
  out.reserve(static_cast<qsizetype>(s.size()));
  size_t runStart = 0;
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (!IsLeadByte(c) || i + 1 >= s.size()) {
      ++i;
      continue;
    }
    const unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if (braillePatterns && c == 0xF0 && CellCharToBraillePattern(t) != 0) {
      AppendRun(s.substr(runStart, i - runStart), out);
      const char32_t pattern = CellCharToBraillePattern(t);
      out += QString::fromUcs4(&pattern, 1);
      i += 2;
      runStart = i;
      continue;
    }
    i += 2;
  }
  AppendRun(s.substr(runStart), out);
  return out;
}

}  // namespace

QString FromCp932(std::string_view cp932) { return Convert(cp932, true); }

QString FromCp932Exact(std::string_view cp932) { return Convert(cp932, false); }

QString FromCp932Path(std::string_view cp932) {
  QString out;
  SplitCp932Form(
      cp932, [&](std::string_view plain) { out += Convert(plain, false); },
      [&](std::string_view bytes) { out += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); });
  return out;
}

std::optional<std::string> ToCp932(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace tavo
