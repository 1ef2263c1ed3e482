// End-to-end tests of zemtra800-cli export-csv and import-csv: what the
// commands add to the channel table's rules (those are tested with the image).
#include <QJsonArray>

#include "CliTestKit.h"

namespace {

const QByteArray kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// A few channels of the 450-470 MHz model as apply stores them (every tone
// pairing and duplex case goes through the table in the image tests).
const char kProgrammed[] = R"({"channels":{
 "1":{"rxFrequency":450.0125,"txFrequency":450.0125},
 "2":{"rxFrequency":451.0,"txFrequency":456.0,"txCode":"67.0"},
 "5":{"rxFrequency":453.0,"txFrequency":0,"rxCode":"D023N","wideNarrow":0,"scanAdd":0,"highPower":0},
 "7":{"rxFrequency":455.0,"txFrequency":455.0,"txCode":"71.9","rxCode":"D754I","busyLockout":1},
 "50":{"rxFrequency":469.99375,"txFrequency":469.99375,"rxCode":"D023I"}}})";

class CsvCommands : public CliTest {
protected:
    QJsonArray Channels(const QString& path) { return Dump(path).value("channels").toArray(); }
};

TEST_F(CsvCommands, ExportThenImportOntoANewFileGivesTheSameChannels)
{
    const QString dat = Made("radio.dat", kProgrammed);
    const CliRun r = Cli({"export-csv", dat});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 1 + 5 + 1);
    EXPECT_EQ(lines[0], kHeader + "\r");
    ASSERT_EQ(Cli({"export-csv", dat, "-o", Path("radio.csv")}).status, 0);
    EXPECT_EQ(Contents(Path("radio.csv")), r.out);

    const CliRun in = Cli({"import-csv", Made("new.dat"), Path("radio.csv"), "-o", Path("copy.dat")});
    ASSERT_EQ(in.status, 0) << in.err.constData();
    EXPECT_EQ(in.out, "imported 5 channels from " + Path("radio.csv").toUtf8() + " into " + Path("copy.dat").toUtf8()
                          + "\n");
    QJsonArray original = Channels(dat);
    // Busy lockout is not in the layout: the copy's blank channel 7 gets the
    // cleared channel's.
    QJsonObject seven = original[6].toObject();
    EXPECT_EQ(seven.value("busyLockout").toInt(), 1);
    seven.insert("busyLockout", 3);
    original[6] = seven;
    EXPECT_EQ(Channels(Path("copy.dat")), original);
}

TEST_F(CsvCommands, ImportKeepsWhatTheTableDoesNotNameUnlessReplacing)
{
    const QString dat = Made("radio.dat", kProgrammed);
    WriteFile(Path("in.csv"), "Frequency;Location;Colour\r\n461,5;7;red\r\n");
    CliRun r = Cli({"import-csv", dat, Path("in.csv"), "-o", Path("out.dat")});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.err, "zemtra800-cli: " + Path("in.csv").toUtf8() + ": line 1: column \"Colour\" is not in the layout; "
                                                                   "ignored\n");
    QJsonArray channels = Channels(Path("out.dat"));
    EXPECT_EQ(channels[6].toObject().value("rxFrequency").toDouble(), 461.5);
    EXPECT_EQ(channels[0], Channels(dat)[0]) << "an unlisted channel keeps its values";

    r = Cli({"import-csv", dat, Path("in.csv"), "-o", Path("out.dat"), "--replace"});
    ASSERT_EQ(r.status, 0) << r.err.constData();
    channels = Channels(Path("out.dat"));
    for (int i = 0; i < channels.size(); ++i)
        EXPECT_EQ(channels[i].toObject().value("rxFrequency").toDouble() > 0, i == 6) << i;

    // A bad row refuses the whole table, with --replace too: nothing is written.
    WriteFile(Path("in.csv"), kHeader + "\n1,,455,,0\n# a comment line still counts\n2,,520,,0\n");
    const QByteArray csv = Path("in.csv").toUtf8();
    WriteFile(Path("out.dat"), "keep me");
    ExpectRun(Cli({"import-csv", dat, Path("in.csv"), "--replace", "-o", Path("out.dat")}), 2, {},
              "zemtra800-cli: " + csv + ": line 4: Frequency 520.000000 is outside 450-470 MHz\nzemtra800-cli: " + csv +
                  ": the table is refused; nothing written\n");
    EXPECT_EQ(Contents(Path("out.dat")), "keep me");
}

TEST_F(CsvCommands, RenumberPutsTheRowsInFileOrderFromChannelN)
{
    WriteFile(Path("list.csv"), "Location,Frequency\n101,450.5\n102,451.5\n");
    ASSERT_EQ(Cli({"import-csv", Made("new.dat"), Path("list.csv"), "-o", Path("b.dat"), "--renumber", "--at", "49"})
                  .status, 0);
    EXPECT_EQ(Channels(Path("b.dat"))[48].toObject().value("rxFrequency").toDouble(), 450.5);
    EXPECT_EQ(Channels(Path("b.dat"))[49].toObject().value("rxFrequency").toDouble(), 451.5);
}

} // namespace
