// The main window's settings: LoadSettings reads the settings file once, when
// the window is first shown; SaveSettings writes it on close and after OK in
// either registration dialog. The file itself is TSettingsFile's.
#include <QString>

#include "dictool/Main.h"
#include "platform/system/OSError.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"

namespace tavo {

TSettings TMainForm::CurrentSettings() const { return TSettings{SearchDicList, NotSearchDicList, WriteDic}; }

void TMainForm::ApplySettings(TSettings settings) {
  SearchDicList = std::move(settings.SearchDicList);
  NotSearchDicList = std::move(settings.NotSearchDicList);
  WriteDic = std::move(settings.WriteDic);
}

void TMainForm::LoadSettings() {
  TSettings settings = CurrentSettings();  // what the window holds is the default
  const int error = settingsFile_.Load(settings);
  ApplySettings(std::move(settings));
  SetColorScheme(1);
  if (error != 0)
    // Empty lists saved at the close would take the place of the user's.
    ui::MessageBox(this,
                   QStringLiteral("設定ファイル %1 を読み込めません。\n%2\n設定ファイルはこの実行中には上書きしません。")
                       .arg(FromCp932(settingsFile_.Path()), FromCp932(FileErrorText(error))),
                   windowTitle(), ui::MB_ICONWARNING);
}

void TMainForm::SaveSettings() { settingsFile_.Save(CurrentSettings()); }

}  // namespace tavo
