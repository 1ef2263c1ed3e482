// End-to-end tests of zemtra800-cli export-csv and import-csv.
#include <QFileInfo>

#include <sys/stat.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliTestKit.h"

namespace {

const QByteArray kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// Channels covering every tone pairing and duplex case of the 450-470 MHz
// model, as apply stores them.
const char kProgrammed[] = R"({"channels":{
 "1":{"rxFrequency":450.0125,"txFrequency":450.0125},
 "2":{"rxFrequency":451.0,"txFrequency":456.0,"txCode":"67.0"},
 "3":{"rxFrequency":457.0,"txFrequency":452.0,"txCode":"67.0","rxCode":"67.0"},
 "5":{"rxFrequency":453.0,"txFrequency":0,"rxCode":"D023N","wideNarrow":0,"scanAdd":0,"highPower":0},
 "6":{"rxFrequency":454.005,"txFrequency":454.005,"txCode":"D023N","rxCode":"D023I"},
 "7":{"rxFrequency":455.0,"txFrequency":455.0,"txCode":"71.9","rxCode":"D754I","busyLockout":1},
 "8":{"rxFrequency":456.0,"txFrequency":456.0,"txCode":"D114N","rxCode":"100.0"},
 "9":{"rxFrequency":457.0,"txFrequency":457.0,"txCode":"D114N","rxCode":"D116N"},
 "10":{"rxFrequency":458.0,"txFrequency":458.0,"txCode":"D114I"},
 "11":{"rxFrequency":459.0,"txFrequency":459.0,"rxCode":"254.1"},
 "12":{"rxFrequency":460.0,"txFrequency":460.0,"txCode":"67.0","rxCode":"69.3"},
 "50":{"rxFrequency":469.99375,"txFrequency":469.99375,"rxCode":"D023I"}}})";

class CsvCommands : public CliTest {
protected:
    QString Make(const char* name, const QByteArray& edits = {})
    {
        EXPECT_EQ(Cli({"new", "-o", Path(name)}).status, 0);
        if (!edits.isEmpty()) {
            WriteFile(Path("edits.json"), edits);
            const CliRun r = Cli({"apply", Path(name), Path("edits.json"), "-o", Path(name)});
            EXPECT_EQ(r.status, 0) << r.err.constData();
        }
        return Path(name);
    }

    QJsonArray Channels(const QString& path)
    {
        const CliRun r = Cli({"dump", "--compact", path});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        return QJsonDocument::fromJson(r.out).object().value("channels").toArray();
    }

    // import-csv that must fail: status 2, nothing on stdout, the output as it
    // was, and exactly these lines on stderr.
    void ExpectRefused(const QStringList& arguments, const QList<QByteArray>& lines)
    {
        WriteFile(Path("out.dat"), "keep me");
        const CliRun r = Cli(QStringList{"import-csv"} + arguments + QStringList{"-o", Path("out.dat")});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
        QList<QByteArray> got = r.err.split('\n');
        EXPECT_EQ(got.takeLast(), QByteArray()) << "ends with a line end";
        EXPECT_EQ(got, lines);
        EXPECT_EQ(Contents(Path("out.dat")), "keep me");
    }
};

TEST_F(CsvCommands, ExportWritesTheChannelsInUseToStandardOutputOrAFile)
{
    const QString dat = Make("radio.dat", kProgrammed);
    const CliRun r = Cli({"export-csv", dat});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 1 + 12 + 1);
    EXPECT_EQ(lines[0], kHeader + "\r");
    EXPECT_EQ(lines[1], "1,,450.012500,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,\r");
    EXPECT_EQ(lines[3], "3,,457.000000,-,5.000000,TSQL,67.0,67.0,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,\r");
    EXPECT_EQ(lines[4], "5,,453.000000,off,0.000000,Cross,88.5,88.5,023,NN,023,->DTCS,NFM,6.25,S,1.0W,,,,,\r");
    EXPECT_EQ(lines[5], "6,,454.005000,,0.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r");
    EXPECT_EQ(lines[12], "50,,469.993750,,0.000000,Cross,88.5,88.5,023,NR,023,->DTCS,FM,6.25,,5.0W,,,,,\r");
    EXPECT_EQ(lines[13], "");

    ASSERT_EQ(Cli({"export-csv", dat, "-o", Path("radio.csv")}).status, 0);
    EXPECT_EQ(Contents(Path("radio.csv")), r.out);

    // A file with no channel in use gives the header alone, and says so.
    const CliRun empty = Cli({"export-csv", Make("new.dat")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, kHeader + "\r\n");
    EXPECT_TRUE(empty.err.contains("no channel is in use")) << empty.err.constData();
}

TEST_F(CsvCommands, ExportThenImportOntoANewFileGivesTheSameChannels)
{
    const QString dat = Make("radio.dat", kProgrammed);
    ASSERT_EQ(Cli({"export-csv", dat, "-o", Path("radio.csv")}).status, 0);
    const CliRun r = Cli({"import-csv", Make("new.dat"), Path("radio.csv"), "-o", Path("copy.dat")});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out, "imported 12 channels from " + Path("radio.csv").toUtf8() + " into " + Path("copy.dat").toUtf8()
                         + "\n");
    QJsonArray original = Channels(dat);
    const QJsonArray copy = Channels(Path("copy.dat"));
    // Busy lockout is not in the layout: the copy's blank channel 7 gets the
    // cleared channel's.
    QJsonObject seven = original[6].toObject();
    EXPECT_EQ(seven.value("busyLockout").toInt(), 1);
    seven.insert("busyLockout", 3);
    original[6] = seven;
    EXPECT_EQ(copy, original);
}

TEST_F(CsvCommands, ImportKeepsWhatTheTableDoesNotNameUnlessReplacing)
{
    const QString dat = Make("radio.dat", kProgrammed);
    WriteFile(Path("in.csv"), "\xEF\xBB\xBF# from a spreadsheet\r\n"
                              "Frequency;Location;Power;Colour\r\n"
                              "461,5;7;0,5W;red\r\n");
    CliRun r = Cli({"import-csv", dat, Path("in.csv"), "-o", Path("out.dat")});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.err, "zemtra800-cli: " + Path("in.csv").toUtf8() + ": line 2: column \"Colour\" is not in the layout; "
                                                                   "ignored\n");
    QJsonArray channels = Channels(Path("out.dat"));
    const QJsonObject seven = channels[6].toObject();
    EXPECT_EQ(seven.value("rxFrequency").toDouble(), 461.5);
    EXPECT_EQ(seven.value("txFrequency").toDouble(), 461.5);
    EXPECT_EQ(seven.value("rxCode").toString(), "");
    EXPECT_EQ(seven.value("highPower").toInt(), 0);
    EXPECT_EQ(seven.value("busyLockout").toInt(), 1) << "kept: the layout does not carry it";
    EXPECT_EQ(channels[0], Channels(dat)[0]) << "an unlisted channel keeps its values";

    r = Cli({"import-csv", dat, Path("in.csv"), "-o", Path("out.dat"), "--replace"});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    channels = Channels(Path("out.dat"));
    for (int i = 0; i < channels.size(); ++i)
        EXPECT_EQ(channels[i].toObject().value("rxFrequency").toDouble() > 0, i == 6) << i;
}

TEST_F(CsvCommands, RenumberPutsTheRowsInFileOrderFromChannelN)
{
    WriteFile(Path("list.csv"), "Location,Frequency\n101,450.5\n102,451.5\n");
    const QString blank = Make("new.dat");
    ASSERT_EQ(Cli({"import-csv", blank, Path("list.csv"), "-o", Path("a.dat"), "--renumber"}).status, 0);
    QJsonArray channels = Channels(Path("a.dat"));
    EXPECT_EQ(channels[0].toObject().value("rxFrequency").toDouble(), 450.5);
    EXPECT_EQ(channels[1].toObject().value("rxFrequency").toDouble(), 451.5);

    ASSERT_EQ(Cli({"import-csv", blank, Path("list.csv"), "-o", Path("b.dat"), "--renumber", "--at", "49"}).status, 0);
    channels = Channels(Path("b.dat"));
    EXPECT_EQ(channels[48].toObject().value("rxFrequency").toDouble(), 450.5);
    EXPECT_EQ(channels[49].toObject().value("rxFrequency").toDouble(), 451.5);

    const QByteArray csv = Path("list.csv").toUtf8();
    ExpectRefused({blank, Path("list.csv"), "--renumber", "--at", "50"},
                  {"zemtra800-cli: " + csv + ": line 3: the row would go on channel 51; the radio has channels 1-50",
                   "zemtra800-cli: " + csv + ": the table is refused; nothing written"});
    ExpectRefused({blank, Path("list.csv")},
                  {"zemtra800-cli: " + csv + ": line 2: Location 101 is outside 1-50",
                   "zemtra800-cli: " + csv + ": line 3: Location 102 is outside 1-50",
                   "zemtra800-cli: " + csv + ": the table is refused; nothing written"});
    for (const char* at : {"0", "51", "x"})
        ExpectRefused({blank, Path("list.csv"), "--renumber", "--at", at},
                      {QByteArray("zemtra800-cli: import-csv: --at ") + at + " is not a channel number 1..50."});
    ExpectRefused({blank, Path("list.csv"), "--at", "3"},
                  {"zemtra800-cli: import-csv: --at needs --renumber. See 'zemtra800-cli import-csv --help'."});
}

TEST_F(CsvCommands, ABadRowRefusesTheWholeTableAndWritesNothing)
{
    const QString dat = Make("radio.dat", kProgrammed);
    WriteFile(Path("in.csv"), kHeader + "\n"
                                        "1,,455,,0,,,,,,,,,,,,,,,,\n"
                                        "# a comment line still counts\n"
                                        "2,,520,,0,,,,,,,,,,,,,,,,\n"
                                        "3,,455,,0,Tone,100.5,,,,,,,,,,,,,,\n");
    const QByteArray csv = Path("in.csv").toUtf8();
    ExpectRefused({dat, Path("in.csv")},
                  {"zemtra800-cli: " + csv + ": line 4: Frequency 520.000000 is outside 450-470 MHz",
                   "zemtra800-cli: " + csv + ": line 5: rToneFreq \"100.5\" is not a CTCSS tone the radio has",
                   "zemtra800-cli: " + csv + ": the table is refused; nothing written"});
    ExpectRefused({dat, Path("in.csv"), "--replace"},
                  {"zemtra800-cli: " + csv + ": line 4: Frequency 520.000000 is outside 450-470 MHz",
                   "zemtra800-cli: " + csv + ": line 5: rToneFreq \"100.5\" is not a CTCSS tone the radio has",
                   "zemtra800-cli: " + csv + ": the table is refused; nothing written"});

    // An empty table would blank everything with --replace: refused.
    WriteFile(Path("empty.csv"), kHeader + "\r\n");
    ExpectRefused({dat, Path("empty.csv"), "--replace"},
                  {"zemtra800-cli: " + Path("empty.csv").toUtf8() + ": the text holds no channel rows",
                   "zemtra800-cli: " + Path("empty.csv").toUtf8() + ": the table is refused; nothing written"});
}

TEST_F(CsvCommands, BadFilesAndUsageExitWithStatus2)
{
    const QString dat = Make("radio.dat", kProgrammed);
    ExpectRefused({dat, Path("missing.csv")},
                  {"zemtra800-cli: no such file: " + Path("missing.csv").toUtf8()});
    ExpectRefused({dat, dir.path()}, {"zemtra800-cli: " + dir.path().toUtf8() + " is a directory, not a data file"});
    WriteFile(Path("huge.csv"), QByteArray(4 * 1024 * 1024 + 1, '#'));
    ExpectRefused({dat, Path("huge.csv")},
                  {"zemtra800-cli: " + Path("huge.csv").toUtf8() + " is larger than 4 MiB"});
    WriteFile(Path("in.csv"), "Location,Frequency\n1,450\n");
    ExpectRefused({Path("missing.dat"), Path("in.csv")},
                  {"zemtra800-cli: no such file: " + Path("missing.dat").toUtf8()});

    CliRun r = Cli({"import-csv", dat, Path("in.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("-o OUT.dat")) << r.err.constData();
    r = Cli({"export-csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("expected 1 file argument, got 0")) << r.err.constData();
    r = Cli({"export-csv", Path("missing.dat")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    r = Cli({"export-csv", dat, "-o", dir.path()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("is a directory")) << r.err.constData();
}

TEST_F(CsvCommands, PipesAndReadOnlyFilesAreNeitherReadNorReplaced)
{
    const QString dat = Make("radio.dat", kProgrammed);
    ASSERT_EQ(::mkfifo(Path("pipe").toLocal8Bit().constData(), 0600), 0);
    // Reading would wait for a writer forever; writing would put a plain
    // file where the pipe was.
    ExpectRefused({dat, Path("pipe")}, {"zemtra800-cli: " + Path("pipe").toUtf8() + " is a FIFO, not a regular file"});
    CliRun r = Cli({"export-csv", dat, "-o", Path("pipe")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zemtra800-cli: " + Path("pipe").toUtf8() + " is a FIFO, not a regular file; nothing written\n");
    EXPECT_FALSE(QFileInfo(Path("pipe")).isFile());

    WriteFile(Path("locked.csv"), "mine");
    QFile::setPermissions(Path("locked.csv"), QFile::ReadOwner | QFile::ReadGroup);
    r = Cli({"export-csv", dat, "-o", Path("locked.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zemtra800-cli: " + Path("locked.csv").toUtf8() + " is read-only; nothing written\n");
    EXPECT_EQ(Contents(Path("locked.csv")), "mine");
}

TEST_F(CsvCommands, HelpListsTheOptions)
{
    CliRun r = Cli({"import-csv", "--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"Usage: zemtra800-cli import-csv", "--replace", "--renumber", "--at <N>", "-o, --output"})
        EXPECT_TRUE(r.out.contains(word)) << word;
    r = Cli({"export-csv", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("Usage: zemtra800-cli export-csv")) << r.out.constData();
    EXPECT_TRUE(r.out.contains("<OUT.csv>")) << r.out.constData();
    r = Cli({"--help"});
    EXPECT_TRUE(r.out.contains("export-csv FILE.dat [-o OUT.csv]"));
    EXPECT_TRUE(r.out.contains("import-csv BASE.dat IN.csv -o OUT.dat [--replace] [--renumber [--at N]]"));
}

} // namespace
