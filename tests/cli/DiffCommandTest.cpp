// End-to-end tests of zemtra800-cli diff.
#include <QJsonArray>

#include "CliTestKit.h"

namespace {

class DiffCommand : public CliTest {
protected:
    void SetUp() override
    {
        a = Contents(Made("a.dat", R"({"channels":{"7":{"rxFrequency":450.0125}},"autodial":{"3":"123"},
                                       "message1":"中文"})"));
    }
    // B: A with the edits applied.
    void MakeB(const QByteArray& edits)
    {
        WriteFile(Path("edits.json"), edits);
        ASSERT_EQ(Cli({"apply", Path("a.dat"), Path("edits.json"), "-o", Path("b.dat")}).status, 0);
    }
    CliRun Diff(bool json = false)
    {
        QStringList arguments{"diff", Path("a.dat"), Path("b.dat")};
        if (json)
            arguments << "--json";
        return Cli(arguments);
    }
    QByteArray a;
};

TEST_F(DiffCommand, EqualImagesSayNothingChangedValuesComeByTheirDumpNames)
{
    MakeB("{}");
    CliRun r = Diff();
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.isEmpty());
    r = Diff(true);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).array(), QJsonArray());

    MakeB(R"({"channels":{"7":{"rxFrequency":451}},"squelchLevel":5,"autodial":{"3":""},"message1":"a\"b"})");
    r = Diff();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "channel 7 rxFrequency: 450.01250 -> 451.00000\n"
                     "autodial 3: \"123\" -> \"\"\n"
                     "squelchLevel: 1 -> 5\n"
                     "message1: \"中文\" -> \"a\\\"b\"\n");
    EXPECT_TRUE(r.err.isEmpty());

    r = Diff(true);
    EXPECT_EQ(r.status, 1);
    const QJsonArray json = QJsonDocument::fromJson(r.out).array();
    ASSERT_EQ(json.size(), 4);
    EXPECT_EQ(json[0].toObject(),
              (QJsonObject{{"member", "rxFrequency"}, {"channel", 7}, {"a", 450.0125}, {"b", 451.0}}));
    EXPECT_EQ(json[1].toObject(), (QJsonObject{{"member", "autodial"}, {"index", 3}, {"a", "123"}, {"b", ""}}));
    EXPECT_EQ(json[2].toObject(), (QJsonObject{{"member", "squelchLevel"}, {"a", 1}, {"b", 5}}));
    EXPECT_EQ(json[3].toObject(), (QJsonObject{{"member", "message1"}, {"a", "中文"}, {"b", "a\"b"}}));
}

TEST_F(DiffCommand, BytesNoValueShowsComeAsRuns)
{
    // Untouched bytes at 0x07F0..0x07F3, and a stun code too short to be
    // read on either side (both decode as none).
    QByteArray b = a;
    b.replace(0x07F0, 4, QByteArray(4, '\0'));
    b.replace(1072, 2, QByteArray::fromHex("0102"));
    WriteFile(Path("b.dat"), b);
    CliRun r = Diff();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "bytes 0x0430..0x0431 (stunCode): ff ff -> 01 02\n"
                     "bytes 0x07F0..0x07F3: ff ff ff ff -> 00 00 00 00\n");

    r = Diff(true);
    const QJsonArray json = QJsonDocument::fromJson(r.out).array();
    ASSERT_EQ(json.size(), 2);
    EXPECT_EQ(json[0].toObject(), (QJsonObject{{"member", "bytes"}, {"from", 1072}, {"to", 1073}, {"a", "ff ff"},
                                               {"b", "01 02"}, {"field", "stunCode"}}));
    EXPECT_EQ(json[1].toObject(), (QJsonObject{{"member", "bytes"}, {"from", 2032}, {"to", 2035},
                                               {"a", "ff ff ff ff"}, {"b", "00 00 00 00"}}));
}

TEST_F(DiffCommand, BadInputExits2LikeDump)
{
    WriteFile(Path("short.dat"), a.left(100));
    const struct {
        QStringList arguments;
        QByteArray named;
    } cases[] = {
        {{"diff", Path("a.dat"), Path("missing.dat")}, "missing.dat"},
        {{"diff", Path("short.dat"), Path("a.dat")}, "short.dat"},
        {{"diff", Path("a.dat")}, "expected 2 file arguments"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun r = Cli(c.arguments);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
        EXPECT_TRUE(r.err.contains(c.named)) << r.err.constData();
    }
}

} // namespace
