// Placeholders until the data-file commands land; removed then.
#include <cstdio>
#include "CliCommands.h"

static int Pending() { std::fputs("zemtra800-cli: command not built yet\n", stderr); return 2; }
int RunNewCommand(const QStringList&) { return Pending(); }
int RunDumpCommand(const QStringList&) { return Pending(); }
int RunApplyCommand(const QStringList&) { return Pending(); }
