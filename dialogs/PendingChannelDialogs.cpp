// Placeholders until the channel, model and port dialogs land; removed then.
#include "DialogEntry.h"

bool RunChannelEditDialog(QWidget*, const ChannelEditRequest&, ChannelUpdateSink&) { return false; }
bool RunModelInfoDialog(QWidget*, RadioSettings&, ModelState&, const OptionList&, ChannelUpdateSink&) { return false; }
int RunCommPortDialog(QWidget*, int portNumber, const OptionList&) { return portNumber; }
