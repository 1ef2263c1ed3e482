// Placeholders until the settings dialogs land; removed then.
#include "DialogEntry.h"

bool RunOptionalFeatureDialog(QWidget*, RadioSettings&, const OptionList&) { return false; }
bool RunDtmfDialog(QWidget*, RadioSettings&, const OptionList&) { return false; }
bool RunKeyAssignDialog(QWidget*, RadioSettings&, const OptionList&) { return false; }
bool RunEmbeddedMsgDialog(QWidget*, RadioSettings&) { return false; }
