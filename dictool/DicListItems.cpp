#include "dictool/DicListItems.h"

#include <QListWidget>

#include "dictool/UnstorableText.h"
#include "platform/files/ProfileText.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"

namespace tavo {

void AddPathItem(QListWidget* list, const std::string& cp932Path) {
  auto* item = new QListWidgetItem(FromCp932Exact(cp932Path));
  item->setData(Qt::UserRole, QByteArray(cp932Path.data(), static_cast<qsizetype>(cp932Path.size())));
  list->addItem(item);
}

std::string PathOfItem(const QListWidget* list, int row) {
  const QListWidgetItem* item = list->item(row);
  if (item == nullptr) return std::string();
  const QByteArray bytes = item->data(Qt::UserRole).toByteArray();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::vector<std::string> PathsOf(const QListWidget* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->count(); ++i) out.push_back(PathOfItem(list, i));
  return out;
}

int FindPath(const QListWidget* list, const std::string& cp932Path) {
  for (int i = 0; i < list->count(); ++i)
    if (PathOfItem(list, i) == cp932Path) return i;
  return -1;
}

bool AcceptDictionaryPath(QWidget* owner, const QString& caption, const std::string& cp932Path) {
  const ProfileValueProblem problem = CheckProfileValue(cp932Path);
  if (problem == ProfileValueProblem::kNone) return true;
  ui::MessageBox(owner,
                 QStringLiteral("「%1」\n\nこのパスは%2ため、設定ファイルに保存できません。辞書として登録しません。")
                     .arg(ShownValue(cp932Path, 200), UnstorableReason(problem)),
                 caption, ui::MB_ICONWARNING);
  return false;
}

}  // namespace tavo
