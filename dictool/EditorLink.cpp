// The link to the braille editor: bringing its window to the front (F2) and
// handing it the hit under the cursor of the external result grid (F3).
#include "dictool/Main.h"

namespace tavo {

void TMainForm::Action1Execute() { Trace("Action1Execute"); }

void TMainForm::Action3Execute() { Trace("Action3Execute"); }

}  // namespace tavo
