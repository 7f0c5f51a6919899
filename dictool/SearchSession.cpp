#include "dictool/SearchSession.h"

namespace tavo {

void SearchSession::CloseFile() {
  SearchFile.Close();
  FileOpen = false;
  RutFile.reset();
}

void SearchSession::EndSearch() {
  SearchOpen = false;
  GaibuMode = 0;
  CloseFile();
}

}  // namespace tavo
