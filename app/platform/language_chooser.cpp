#include "app/platform/language_chooser.h"

#include "gui/lang/language_dlg.h"

bool TQtLanguageChooser::Choose(TLanguageDialog32Bit& dialog, QWidget* parent) {
    return ExecuteLanguageDialog(dialog, parent);
}
