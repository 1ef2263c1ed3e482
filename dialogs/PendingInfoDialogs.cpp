// Placeholders until the information and About dialogs land; removed then.
#include "DialogEntry.h"

void RunRadioInfoDialog(QWidget*, const RadioSettings&) {}
void RunAboutDialog(QWidget*) {}
