// zemtra800-cli: the data-file and radio commands of ZEMTRA800 without a window.
#include <QCoreApplication>
#include <QTextStream>

#include <clocale>
#include <cstdio>

#include "cli/CliCommands.h"

namespace {

const char kUsage[] =
    "Usage: zemtra800-cli COMMAND [ARGS]\n"
    "\n"
    "Data files (.dat, the radio's 2048-byte memory image):\n"
    "  new -o OUT.dat                      write the file a new document saves\n"
    "  dump FILE.dat                       print every setting of FILE as JSON\n"
    "  apply BASE.dat EDITS.json -o OUT.dat\n"
    "                                      set the members EDITS names on BASE\n"
    "  export-csv FILE.dat [-o OUT.csv]    the channels in use as a CSV channel table\n"
    "  import-csv BASE.dat IN.csv -o OUT.dat [--replace] [--renumber [--at N]]\n"
    "                                      put the channels of a CSV table onto BASE\n"
    "  diff A.dat B.dat [--json]           the members and bytes that differ\n"
    "Radio (PORT is a device path such as /dev/ttyUSB0, or a port number):\n"
    "  ports                               list the serial devices present\n"
    "  read --port PORT -o OUT.dat [--trace]\n"
    "  write --port PORT IN.dat [--yes] [--trace] [--verify]\n"
    "  info --port PORT [--trace]\n"
    "                                      several --port: one radio on each at once\n"
    "                                      (read: -o with {n} or {port}, e.g. -o unit-{n}.dat)\n"
    "  batch GOLDEN.dat --port PORT [--port PORT ...] [--units UNITS.csv] [--verify] [--yes]\n"
    "        [--count N]                   program radio after radio: the production line\n"
    "  simulate [--image FILE.dat] [--model CODE] [--line-timing] [--save FILE.dat] [faults]\n"
    "        [--radios N]                  N radios; stdin: unplug K, plug K [FILE.dat]\n"
    "  doctor [--port PORT] [--trace]      why a radio cannot be reached: devices, access,\n"
    "                                      holders; with --port, whether anything answers\n"
    "  Radio jobs are backed up and logged under $XDG_DATA_HOME/Halvorn/ZEMTRA800 (--no-backup: not).\n"
    "\n"
    "  --help, --version; COMMAND --help shows the command's options.\n";

using Command = int (*)(const QStringList&);

struct Entry {
    const char* name;
    Command run;
};

const Entry kCommands[] = {
    {"new", RunNewCommand},       {"dump", RunDumpCommand},   {"apply", RunApplyCommand},
    {"export-csv", RunExportCsvCommand}, {"import-csv", RunImportCsvCommand},
    {"diff", RunDiffCommand},
    {"ports", RunPortsCommand},   {"read", RunReadCommand},   {"write", RunWriteCommand},
    {"info", RunInfoCommand},     {"batch", RunBatchCommand},
    {"simulate", RunSimulateCommand}, {"doctor", RunDoctorCommand},
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Frequencies are printed with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(QStringLiteral("zemtra800-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMTRA_VERSION));

    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        std::printf("zemtra800-cli %s\n", ZEMTRA_VERSION);
        return 0;
    }
    for (const Entry& e : kCommands) {
        if (command == QLatin1String(e.name))
            return e.run(args);
    }
    std::fprintf(stderr, "zemtra800-cli: unknown command '%s' (see --help)\n", qPrintable(command));
    return 2;
}
