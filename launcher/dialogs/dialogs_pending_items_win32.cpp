// Temporary: the item editor window is not there yet; its menu entries open nothing.
#include "launcher/dialogs/dialogs_win32.h"

namespace vt {

void ShowItemEditorForAdd(MainWindow&) {}
void ShowItemEditorForEdit(MainWindow&, const std::string&) {}
void AddDroppedFiles(MainWindow&, const std::vector<std::string>&, ElementId) {}
bool PreTranslateItemDialogs(MSG&) { return false; }
void CloseItemDialogs() {}

}  // namespace vt
