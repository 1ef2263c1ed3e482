// End-to-end tests of zemtra800-cli new, dump and apply: they run the built program.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFileInfo>

#include <sys/stat.h>

#include "CliTestKit.h"

namespace {

QByteArray Hex(const QByteArray& bytes, int offset, int length) { return bytes.mid(offset, length).toHex(' '); }

using FileCommands = CliTest;

TEST_F(FileCommands, NewWritesTheResetValues)
{
    const QJsonObject json = Dump(Made("new.dat"));
    EXPECT_EQ(json.size(), 55); // the channels and every radio-wide member
    // 0xFFFFFFFF is stored as its low byte.
    const QJsonObject reset{{"autoResetTimer", 10}, {"lampMode", 255},         {"carriedByte1902", 1},
                            {"carriedByte1884", 255}, {"modelCode", "Q80103"}, {"upperLimit", 0.0},
                            {"autodial", QJsonArray({"", "", "", "", "", "", "", "", ""})}};
    for (auto m = reset.begin(); m != reset.end(); ++m)
        EXPECT_EQ(json[m.key()], m.value()) << m.key().toStdString();
    EXPECT_TRUE(json["upperLimit"].isDouble());

    const QJsonArray channels = json["channels"].toArray();
    ASSERT_EQ(channels.size(), 50);
    for (const QJsonValue& c : channels)
        EXPECT_EQ(c.toObject()["rxFrequency"], 0.0);
}

TEST_F(FileCommands, EditsSurviveApplyAndDumpIncludingChineseMessages)
{
    const QString gbkFull = QString(16, QChar(0x4E2D)); // 16 Chinese characters: exactly 32 GBK bytes
    const QJsonObject channel3{{"rxFrequency", 435.125}, {"txFrequency", 435.15}, {"txCode", "67.0"},
                               {"rxCode", "D023I"},      {"highPower", 0},        {"busyLockout", 2}};
    const QJsonObject members{{"message1", QString::fromUtf8("你好 ZEMTRA")},
                              {"message2", gbkFull},
                              {"botCode", "123"},
                              {"stunCode", "123ABC"},
                              {"modelCode", "Q80109"},
                              {"upperLimit", 520.0},
                              {"squelchLevel", 3}};
    QJsonObject edits = members;
    edits["channels"] = QJsonObject{{"3", channel3}};
    edits["autodial"] = QJsonObject{{"2", "*12#"}};
    // Raw: a UHF channel on the 476 MHz model, byte for byte as given.
    Made("edited.dat", QJsonDocument(edits).toJson(), true);
    const QJsonObject json = Dump(Path("edited.dat"));
    for (auto m = members.begin(); m != members.end(); ++m)
        EXPECT_EQ(json[m.key()], m.value()) << m.key().toStdString();
    const QJsonArray channels = json["channels"].toArray();
    ASSERT_EQ(channels.size(), 50);
    const QJsonObject c3 = channels[2].toObject();
    for (auto m = channel3.begin(); m != channel3.end(); ++m)
        EXPECT_EQ(c3[m.key()], m.value()) << m.key().toStdString();
    EXPECT_EQ(c3["wideNarrow"].toInt(), 1) << "fields the edit does not name keep their value";
    EXPECT_EQ(json["autodial"].toArray()[1].toString(), "*12#");
}

TEST_F(FileCommands, ApplyingNothingOrTheFullDumpReproducesTheFile)
{
    QByteArray image = Contents(Made("base.dat", R"({"channels":{"7":{"rxFrequency":450.0125,"txCode":"D754N"}},
                                                 "message1":"HELLO WORLD","idCode":"12A*"})"));
    ASSERT_EQ(image.size(), 2048);
    // Bytes and bits no member owns must come back as the file had them.
    for (int i = 0; i < 16; ++i)
        image[i] = char(i);
    for (int i = 1080; i < 1872; ++i)
        image[i] = char(i * 7);
    image[16 * 5 + 12] = char(0x5F); // channel 5: bits 7 and 5 of the flag byte clear
    image[1032] = char(0xF9);        // bits 2 and 1 clear
    image[1885] = char(0x0E);        // high local oscillator off, other bits set
    image[2040] = char(0x42);
    WriteFile(Path("base.dat"), image);

    const QByteArray dump = Cli({"dump", "--compact", Path("base.dat")}).out;
    for (const QByteArray& edits : {QByteArray("{}"), dump}) {
        for (const QStringList& mode : {QStringList(), QStringList{"--raw"}}) {
            SCOPED_TRACE(edits.left(40).toStdString() + " " + mode.join(' ').toStdString());
            const CliRun r = Apply(Path("base.dat"), edits, Path("again.dat"), mode);
            ASSERT_EQ(r.status, 0) << r.err.constData();
            EXPECT_EQ(Contents(Path("again.dat")), image);
        }
    }
}

TEST_F(FileCommands, ApplyStoresChannelsAsTheChannelEditorDoes)
{
    // The editor could never store 450.003 MHz: it moves it down to the
    // raster, and the step flags say where the frequencies lie.
    const QByteArray image = Contents(Made("new.dat", R"({"channels":{"1":{"rxFrequency":450.003,"txFrequency":450.003},
                                                          "3":{"rxFrequency":460.0125,"txFrequency":465.005}}})"));
    ASSERT_EQ(image.size(), 2048);
    EXPECT_EQ(Hex(image, 16, 16), "00 00 00 45 00 00 00 45 ff ff ff ff ff 7f 01 01") << "channel 1";
    EXPECT_EQ(Hex(image, 48, 16), "50 12 00 46 00 05 50 46 ff ff ff ff ff 7f 01 00") << "channel 3";
    // --raw keeps the values as given: the channel the editor cannot make.
    const QByteArray raw =
        Contents(Made("raw.dat", R"({"channels":{"1":{"rxFrequency":450.003,"txFrequency":450.003}}})", true));
    EXPECT_EQ(Hex(raw, 16, 16), "00 03 00 45 00 03 00 45 ff ff ff ff ff ff ff ff");

    // Other members of a channel in use keep what they hold.
    ASSERT_EQ(Apply(Path("new.dat"), R"({"channels":{"3":{"scanAdd":0,"txCode":"67.0"}}})", Path("new.dat")).status, 0);
    const QByteArray before = Contents(Path("new.dat"));
    EXPECT_EQ(Hex(before, 48, 16), "50 12 00 46 00 05 50 46 70 06 ff ff ff 3f 01 00");

    // Receive frequency 0 blanks the channel, whatever else the edit names.
    const CliRun r = Apply(Path("new.dat"), R"({"channels":{"3":{"rxFrequency":0,"txFrequency":457.0,"scanAdd":0,
                                                 "rxCode":"67.0","rxStep625":1}}})", Path("out.dat"));
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(Contents(Path("out.dat")), before.left(48) + QByteArray(16, '\xFF') + before.mid(64));
}

// A bad edit exits with status 2 and one line that names the member (its key
// escaped, and cut when long), and nothing is written.
TEST_F(FileCommands, BadEditsAreRefusedNamingTheMember)
{
    const QString base = Made("base.dat", R"({"channels":{"1":{"rxFrequency":450.0,"txFrequency":460.0}}})");
    WriteFile(Path("out.dat"), "keep me");
    const struct {
        QByteArray edits;
        QByteArray named;
    } cases[] = {
        {R"({"tot": )", "malformed JSON"},
        {R"([1, 2])", "edits.json"},
        {R"({"volume": 3})", "volume"},
        {R"({"tot": "2"})", "tot"},
        {R"({"message1": 5})", "message1"},
        {R"({"channels": {"0": {"highPower": 0}}})", "channels.0"},
        {R"({"channels": {"51": {"highPower": 0}}})", "channels.51"},
        {R"({"channels": {"2": {"power": 0}}})", "channels.2.power"},
        {R"({"channels": {"2": 5}})", "channels.2"},
        {R"({"autodial": {"10": "1"}})", "autodial.10"},
        {R"({"channels": {"4": {"rxCode": "67"}}})", "channels.4.rxCode"},
        // Counted in GBK bytes, not characters: 17 Chinese characters are 34.
        {R"({"message1": "中中中中中中中中中中中中中中中中中"})", "message1"},
        {R"({"modelCode": "Q8010é"})", "modelCode"},
        // One-byte members hold 0..255, and nothing wraps round to its low byte.
        {R"({"squelchLevel": 256})", "squelchLevel: expected an integer 0..255"},
        {R"({"carriedByte1884": 4294967295})", "carriedByte1884"},
        // Half a character is no text.
        {R"({"message1": "\ud800"})", "message1"},
        // Frequencies outside the model's band, named by channel.
        {R"({"channels":{"1":{"txFrequency":470.5}}})", "channels.1.txFrequency: channel 1: 470.50000 MHz is outside"},
        {R"({"channels":{"4":{"rxFrequency":0.05}}})", "channels.4.rxFrequency: channel 4: 0.05000 MHz is no"},
        // A model of another band leaves channel 1 outside it.
        {R"({"modelCode":"Q70101"})", "channels.1.rxFrequency: channel 1: 450.00000 MHz is outside the band of model"},
        // A blank channel only comes into use with a receive frequency.
        {R"({"channels":{"9":{"scanAdd":0}}})", "channels.9: channel 9 is blank"},
        // Keys are shown escaped: no control reaches the terminal.
        {R"({"\u001b[31mred\u0007": 1})", R"(\x1b[31mred\x07: unknown member)"},
        {R"({"\u202eevil": 1})", R"(\u202eevil)"},
        {R"({"channels": {"\u001b": {}}})", R"(channels.\x1b: '\x1b' is not a number)"},
        {R"({"channels": {"2": {"\u009b2J": 0}}})", R"(channels.2.\x9b2J)"},
        {R"({"中文": 1})", "中文: unknown member"},
        // Nearly 1 MiB of key (as long as an edits file may be) is not echoed whole.
        {"{\"" + QByteArray((1 << 20) - 16, 'k') + "\": 1}", "k... (1048560 characters)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edits.left(80).constData());
        const CliRun r = Apply(base, c.edits, Path("out.dat"));
        ExpectBadInput(r, c.named, Path("out.dat"));
        EXPECT_LT(r.err.size(), 300);
        for (const char* control : {"\x1b", "\x07", "\r", "\xc2\x9b"})
            EXPECT_FALSE(r.err.contains(control));
    }

    // The same edits pass where the band (set in the same edit) has room.
    // --raw stores what it is given.
    const struct {
        const char* edits;
        QStringList options;
    } accepted[] = {
        {R"({"modelCode":"Q70101","channels":{"1":{"rxFrequency":150.0,"txFrequency":174.0}}})", {}},
        {R"({"modelCode":"Q80100","lowerLimit":400,"upperLimit":520,"channels":{"4":{"rxFrequency":480}}})", {}},
        {R"({"modelCode":"Q70101","channels":{"1":{"rxFrequency":0}}})", {}},
        {R"({"channels":{"4":{"rxFrequency":470}}})", {}},
        {R"({"modelCode":"Q70101","channels":{"9":{"txFrequency":455.0}}})", {"--raw"}},
    };
    for (const auto& c : accepted) {
        SCOPED_TRACE(c.edits);
        const CliRun r = Apply(base, c.edits, Path("ok.dat"), c.options);
        EXPECT_EQ(r.status, 0) << r.err.constData();
    }
}

// Files that are not regular files are refused at once, as inputs and as
// outputs, and never replaced. Radio commands refuse before the port is even
// opened (that would be status 3), and log no job.
TEST_F(FileCommands, EveryCommandRefusesBadFilesAndUsageWritingNothing)
{
    const QString base = Made("base.dat", R"({"channels":{"1":{"rxFrequency":450.0}}})"), noPort = Path("no-port");
    WriteFile(Path("edits.json"), "{}");
    WriteFile(Path("short.dat"), Contents(base).left(100));
    // The tool's own GBK conversion: a character GBK has no code for.
    WriteFile(Path("gbk.csv"), "unit,message1\nA,\xF0\x9F\x98\x80\n");
    WriteFile(Path("model.csv"), "unit,modelCode\nA,Q80104\n");
    WriteFile(Path("list.csv"), "Location,Frequency\n101,450.5\n");
    WriteFile(Path("huge.csv"), QByteArray(4 * 1024 * 1024 + 1, '#'));
    WriteFile(Path("locked.csv"), "mine");
    QFile::setPermissions(Path("locked.csv"), QFile::ReadOwner | QFile::ReadGroup);
    WriteFile(Path("out.dat"), "keep me");
    const QString out = Path("out.dat"), pipe = Path("pipe"), link = Path("link-to-pipe.dat");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(pipe, link));
    const QString fifo = pipe + " is a FIFO, not a regular file";
    const struct {
        QStringList arguments;
        QString named;
    } cases[] = {
        {{"dump", pipe}, fifo},
        {{"apply", base, pipe, "-o", out}, fifo},
        {{"apply", base, "/dev/zero", "-o", out}, "/dev/zero is a character device, not a regular file"},
        {{"write", "--port", noPort, pipe}, fifo},
        {{"apply", base, Path("edits.json"), "-o", pipe}, fifo},
        {{"read", "--port", noPort, "-o", link}, "not a regular file"},
        {{"dump", Path("missing.dat")}, "missing.dat"},
        {{"apply", base, Path("missing.json"), "-o", out}, "missing.json"},
        {{"apply", base, Path("edits.json")}, "-o"},
        {{"apply", base, "-o", out}, "apply"},
        {{"dump", base, "--bogus"}, "bogus"},
        {{"diff", Path("short.dat"), base}, "short.dat"},
        {{"diff", base}, "expected 2 file arguments"},
        {{"read", "--port", "99", "-o", out}, "'99'"},
        {{"read", "-o", out}, "--port"},
        {{"read", "--port", "1", "-o", Path("no/such/folder/x.dat")}, "no/such/folder"},
        {{"simulate", "--hang-up-after", "soon"}, "count"},
        {{"simulate", "--radios", "0"}, "--radios"},
        {{"batch", base, "--port", noPort, "--units", Path("gbk.csv")}, "gbk.csv: line 2, column message1: "},
        {{"batch", base, "--port", noPort, "--units", Path("model.csv")},
         "model.csv: line 1, column modelCode: not a member a units file sets"},
        {{"batch", base, "--port", noPort, "--count", "0"}, "--count"},
        {{"batch", base, "--port", noPort, "--units", Path("missing.csv")}, "missing.csv"},
        {{"import-csv", base, Path("list.csv"), "--renumber", "--at", "0", "-o", out}, "--at 0 is not a channel number"},
        {{"import-csv", base, Path("list.csv"), "--renumber", "--at", "51", "-o", out}, "--at 51 is not a channel"},
        {{"import-csv", base, Path("list.csv"), "--at", "3", "-o", out}, "--at needs --renumber."},
        {{"import-csv", base, Path("huge.csv"), "-o", out}, "huge.csv is larger than 4 MiB"},
        {{"export-csv", base, "-o", pipe}, fifo + "; nothing written"},
        {{"export-csv", base, "-o", Path("locked.csv")}, "locked.csv is read-only; nothing written"},
        // A read of several radios names a file for each; one device twice
        // would split one radio's answers between two links.
        {{"read", "-o", out, "--port", noPort, "--port", Path("no-port-2")}, "{n}"},
        {{"info", "--port", noPort, "--port", noPort}, "info: " + noPort + " is given twice as --port."},
        {{"info", "--port", "/dev/tty0"}, "info: /dev/tty0 is a console, not the radio's serial port."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        ExpectBadInput(Run(c.arguments), c.named.toUtf8(), out);
    }
    EXPECT_FALSE(QFile::exists(Home() + "/Halvorn/ZEMTRA800/jobs.jsonl"));
    struct stat info {};
    EXPECT_TRUE(::lstat(QFile::encodeName(pipe).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Contents(Path("locked.csv")), "mine");

    // Valid JSON of exactly 1 MiB is still edits; one byte more is not.
    QByteArray edits = R"({"squelchLevel": 4})";
    edits += QByteArray(1024 * 1024 - edits.size(), ' ');
    const CliRun fits = Apply(base, edits, Path("fits.dat"));
    EXPECT_EQ(fits.status, 0) << fits.err.constData();
    EXPECT_EQ(Contents(Path("fits.dat")).at(1035), char(4));
    ExpectBadInput(Apply(base, edits + ' ', out), "edits.json is larger than 1 MiB", out);
}

TEST_F(FileCommands, EmptyingAReversedTextBlanksItsField)
{
    const QString base = Made("base.dat", R"({"infoText1":"ABC","infoText2":"XY12"})");
    ASSERT_EQ(Hex(Contents(base), 1984, 8), "ff ff 33 30 31 30 38 51");
    ASSERT_EQ(Hex(Contents(base), 2000, 8), "ff ff ff ff ff 43 42 41");
    for (const QStringList& mode : {QStringList(), QStringList{"--raw"}}) {
        SCOPED_TRACE(mode.join(' ').toStdString());
        const CliRun r = Apply(base, R"({"modelCode":"","infoText1":""})", Path("out.dat"), mode);
        ASSERT_EQ(r.status, 0) << r.err.constData();
        const QByteArray image = Contents(Path("out.dat"));
        EXPECT_EQ(image.mid(1984, 8), QByteArray(8, '\xFF'));
        EXPECT_EQ(image.mid(2000, 8), QByteArray(8, '\xFF'));
        EXPECT_EQ(Hex(image, 2008, 8), "ff ff ff ff 32 31 59 58") << "the text the edit does not name";
    }
}

} // namespace

