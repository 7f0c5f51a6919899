// What a font dialog is given and what its answer means, when a font names a
// face this desktop lacks (the settings name the faces of the platform the
// program came from) and is drawn in a face that stands in for it.
//
// A font dialog shows and, on OK, answers one face it has: given a missing
// face it shows some other one, and an OK without changes would put that
// face in place of the one the settings name. So the dialog is offered the
// face the font is really drawn in, and an answer in that face keeps the
// font's own face list; only a face the user chose takes its place. The
// size and style are always the answer's. Needs a GUI application; UI thread.
#pragma once

#include <QFont>

namespace tavo::ui {

// `current` as a font dialog should start from it: in the face it is drawn in.
QFont FontToOffer(const QFont& current);

// The font to use after a font dialog that started from FontToOffer(current)
// answered OK with `answer`.
QFont FontChosen(const QFont& current, const QFont& answer);

}  // namespace tavo::ui
