#pragma once
#include <QStringList>

#include <string>

// Each command gets its arguments after the command word and returns the
// process exit status: 0 success, 1 the radio link failed (or a write's
// verify, or diff found differences), 2 bad usage or input, 3 the port
// cannot be opened.
int RunNewCommand(const QStringList& arguments);
int RunDumpCommand(const QStringList& arguments);
int RunApplyCommand(const QStringList& arguments);
int RunExportCsvCommand(const QStringList& arguments);
int RunImportCsvCommand(const QStringList& arguments);
int RunDiffCommand(const QStringList& arguments);

int RunPortsCommand(const QStringList& arguments);
int RunReadCommand(const QStringList& arguments);
int RunWriteCommand(const QStringList& arguments);
int RunInfoCommand(const QStringList& arguments);
int RunBatchCommand(const QStringList& arguments);
int RunSimulateCommand(const QStringList& arguments);
int RunDoctorCommand(const QStringList& arguments);

// Shared by the radio commands and doctor.
// Resolves the user's PORT into a device, refusing terminals that are no
// radio's port. 0, or the exit status.
int ResolveRadioPort(const QString& command, const QString& portArgument, std::string& device, int& portNumber);
