// How a TStringGrid is read by assistive technology (AT-SPI, through Qt's
// accessibility): a table of its rows and columns, one cell per row and
// column named by its text (Qt::AccessibleTextRole of the model), without
// the header cells that the grid never shows. Its current cell is focused
// only while the grid itself has the focus, so a screen reader that asks
// where the focus is finds one place. Cells are made as they are asked for
// and kept, their identities following rows that the model inserts or
// removes. UI thread only.
#pragma once

namespace tavo::ui {

// Makes every TStringGrid use this interface; further calls do nothing.
void InstallGridAccessible();

}  // namespace tavo::ui
