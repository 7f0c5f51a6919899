#include "platform/ui/Hints.h"

#include <QVariant>
#include <QWidget>

namespace tavo::ui {
namespace {

constexpr const char* kHint = "tavoHint";
constexpr const char* kShowHint = "tavoShowHint";

void Apply(QWidget* c) { c->setToolTip(ShowHint(c) ? Hint(c) : QString()); }

}  // namespace

void SetHint(QWidget* control, const QString& hint) {
  control->setProperty(kHint, hint);
  control->setAccessibleDescription(hint);
  Apply(control);
}

QString Hint(const QWidget* control) { return control->property(kHint).toString(); }

void SetShowHint(QWidget* control, bool show) {
  control->setProperty(kShowHint, show);
  Apply(control);
}

bool ShowHint(const QWidget* control) {
  const QVariant v = control->property(kShowHint);
  return v.isValid() ? v.toBool() : true;
}

}  // namespace tavo::ui
