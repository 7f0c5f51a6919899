#include "platform/ui/StatusLine.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include "platform/ui/AccessibleNames.h"

namespace tavo::ui {
namespace {

constexpr const char* kStatusLine = "tavoStatusLine";
constexpr const char* kAnnouncePending = "tavoAnnouncePending";

class StatusLineInterface : public QAccessibleWidget {
 public:
  explicit StatusLineInterface(QLabel* label) : QAccessibleWidget(label, QAccessible::Notification) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* StatusLineFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QLabel")) return nullptr;
  auto* label = qobject_cast<QLabel*>(object);
  if (label == nullptr || !label->property(kStatusLine).toBool()) return nullptr;
  return new StatusLineInterface(label);
}

}  // namespace

void MakeStatusLine(QLabel* label) {
  QAccessible::installFactory(StatusLineFactory);  // once; a second install is ignored
  label->setProperty(kStatusLine, true);
  RenewAccessibleInterface(label);  // one made before would present a plain label
}

void AnnounceStatus(QLabel* label, const QString& text) {
  label->setText(text);
  // Signalled once the command that set it has returned and its page is in
  // front; signalled even when the text stays the same, since each end of a
  // search is news. A text set again before then is heard once, as it
  // ends up.
  if (label->property(kAnnouncePending).toBool()) return;
  label->setProperty(kAnnouncePending, true);
  QMetaObject::invokeMethod(
      label,
      [label] {
        label->setProperty(kAnnouncePending, false);
        QAccessibleEvent shown(label, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
      },
      Qt::QueuedConnection);
}

}  // namespace tavo::ui
