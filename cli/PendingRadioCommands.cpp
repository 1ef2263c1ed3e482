// Placeholders until the radio commands land; removed then.
#include <cstdio>
#include "CliCommands.h"

static int Pending() { std::fputs("zemtra800-cli: command not built yet\n", stderr); return 2; }
int RunPortsCommand(const QStringList&) { return Pending(); }
int RunReadCommand(const QStringList&) { return Pending(); }
int RunWriteCommand(const QStringList&) { return Pending(); }
int RunInfoCommand(const QStringList&) { return Pending(); }
int RunSimulateCommand(const QStringList&) { return Pending(); }
