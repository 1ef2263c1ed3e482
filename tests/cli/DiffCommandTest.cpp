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
    CliRun Diff(bool json)
    {
        return Cli(QStringList{"diff", Path("a.dat"), Path("b.dat")} + (json ? QStringList{"--json"} : QStringList()));
    }
    QByteArray a;
};

// Values come by their dump names; bytes no value shows come as runs, named
// by the field they lie in (a stun code too short to be read on either side).
TEST_F(DiffCommand, EqualImagesSayNothingChangedValuesAndBytesAreNamed)
{
    WriteFile(Path("b.dat"), a);
    ExpectRun(Diff(false), 0, {});

    const CliRun edited = Apply(Path("a.dat"), R"({"channels":{"7":{"rxFrequency":451}},"squelchLevel":5,
                                                  "autodial":{"3":""},"message1":"a\"b"})", Path("b.dat"));
    ASSERT_EQ(edited.status, 0) << edited.err.constData();
    QByteArray b = Contents(Path("b.dat"));
    b.replace(0x07F0, 4, QByteArray(4, '\0'));
    b.replace(1072, 2, QByteArray::fromHex("0102"));
    WriteFile(Path("b.dat"), b);
    CliRun r = Diff(false);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "channel 7 rxFrequency: 450.01250 -> 451.00000\n"
                     "autodial 3: \"123\" -> \"\"\n"
                     "squelchLevel: 1 -> 5\n"
                     "message1: \"中文\" -> \"a\\\"b\"\n"
                     "bytes 0x0430..0x0431 (stunCode): ff ff -> 01 02\n"
                     "bytes 0x07F0..0x07F3: ff ff ff ff -> 00 00 00 00\n");
    EXPECT_TRUE(r.err.isEmpty());

    r = Diff(true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).array(),
              (QJsonArray{QJsonObject{{"member", "rxFrequency"}, {"channel", 7}, {"a", 450.0125}, {"b", 451.0}},
                          QJsonObject{{"member", "autodial"}, {"index", 3}, {"a", "123"}, {"b", ""}},
                          QJsonObject{{"member", "squelchLevel"}, {"a", 1}, {"b", 5}},
                          QJsonObject{{"member", "message1"}, {"a", "中文"}, {"b", "a\"b"}},
                          QJsonObject{{"member", "bytes"}, {"from", 1072}, {"to", 1073}, {"a", "ff ff"},
                                      {"b", "01 02"}, {"field", "stunCode"}},
                          QJsonObject{{"member", "bytes"}, {"from", 2032}, {"to", 2035}, {"a", "ff ff ff ff"},
                                      {"b", "00 00 00 00"}}}))
        << r.out.constData();
}

} // namespace
