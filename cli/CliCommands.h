#pragma once
#include <QStringList>

// Each command gets its arguments after the command word and returns the
// process exit status: 0 success, 1 the radio link failed, 2 bad usage or
// input, 3 the port cannot be opened.
int RunNewCommand(const QStringList& arguments);
int RunDumpCommand(const QStringList& arguments);
int RunApplyCommand(const QStringList& arguments);
int RunExportCsvCommand(const QStringList& arguments);
int RunImportCsvCommand(const QStringList& arguments);

int RunPortsCommand(const QStringList& arguments);
int RunReadCommand(const QStringList& arguments);
int RunWriteCommand(const QStringList& arguments);
int RunInfoCommand(const QStringList& arguments);
int RunSimulateCommand(const QStringList& arguments);
