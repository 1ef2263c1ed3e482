// The channel editor driven as a user drives it: typing into its fields,
// leaving them, clicking boxes and choosing list entries.
#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>
#include <memory>

#include "dialogs/CChannelEditDlg.h"
#include "image/CImportData.h"
#include "DialogTestKit.h"
#include "ui/Profile.h"

namespace {

class ChannelEditTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 0);
        view.settings = &s;
    }

    void Program(int n, double rx, double tx, const char* txCode = "")
    {
        ChannelRecord& c = s.channels[n - 1];
        c.rxFrequency = rx;
        c.txFrequency = tx;
        SetText(c.txCode, txCode);
        c.channelFree = 0;
    }

    void Open(int channel, const QString& band = QStringLiteral("UHF:450-470MHz"), int band476 = 0)
    {
        ChannelEditRequest r;
        r.settings = view.settings;
        r.channel = channel;
        r.bandText = band;
        r.band476 = band476;
        r.signallingList = QStringLiteral("None|DTMF|");
        r.wideNarrowList = QStringLiteral("Wide|Narrow|");
        r.decodeCodeList = r.encodeCodeList = QStringLiteral("None|67.0|69.3|71.9|88.5|D023N|");
        dialog = std::make_unique<CChannelEditDlg>(r, view);
        ShowActive(dialog.get());
    }

    template <class T = QWidget>
    T* Ctl(int id) { return ::Ctl<T>(dialog.get(), id); }
    QLineEdit* Edit(int id) { return Ctl<QLineEdit>(id); }
    QComboBox* Combo(int id) { return Ctl<QComboBox>(id); }
    QCheckBox* Box(int id) { return Ctl<QCheckBox>(id); }
    void Leave() { Ctl(2)->setFocus(Qt::MouseFocusReason); }
    void Click(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

    RadioSettings s;
    FakeChannelView view;
    std::unique_ptr<CChannelEditDlg> dialog;
};

TEST_F(ChannelEditTest, FrequencyFieldPlacesPointClampsAndSnapsToRaster)
{
    Program(1, 450.0, 455.0);
    Open(1);
    QLineEdit* rx = Edit(1056);
    // Typed, shown while typing, shown once left, stored, 6.25 kHz flag.
    const struct { const char *typed, *typing, *left; double mhz; uint32_t step625; } cases[] = {
        {"04501", "450.1", "450.10000", 450.1, 1},         // a leading 0 is refused
        {"4500125", "450.0125", "450.01250", 450.0125, 1}, //
        {"450005", "450.005", "450.00500", 450.005, 0},    // on the 5 kHz raster only
        {"480", "480", "470.00000", 470.0, 1},             // above the band
        {"45a.7x1", "457.1", "457.10000", 457.1, 1},       // letters and the point never get in
    };
    for (const auto& c : cases) {
        Type(rx, QString::fromLatin1(c.typed));
        EXPECT_EQ(rx->text(), QString::fromLatin1(c.typing)) << c.typed;
        Leave();
        EXPECT_EQ(rx->text(), QString::fromLatin1(c.left)) << c.typed;
        EXPECT_DOUBLE_EQ(s.channels[0].rxFrequency, c.mhz) << c.typed;
        EXPECT_EQ(s.channels[0].rxStep625, c.step625) << c.typed;
    }
    EXPECT_DOUBLE_EQ(s.channels[0].txFrequency, 455.0); // a set transmit frequency stays
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ChannelEditTest, OpeningAnEmptyChannelFillsTheLowerLimitAndReachesTheImage)
{
    CImportData data;
    RadioSettings& ds = *data.GetSettings();
    view.settings = &ds;
    Open(5);
    Click(Box(1109));
    EXPECT_EQ(Edit(1097)->text(), QStringLiteral("450.00000"));
    const ChannelRecord& c = ds.channels[4];
    EXPECT_DOUBLE_EQ(c.rxFrequency, 450.0);
    EXPECT_DOUBLE_EQ(c.txFrequency, 450.0);
    EXPECT_GT(view.Count(5, 0), 0);

    ASSERT_EQ(data.EncodeAll(), 0);
    const uint8_t* rec = data.Image() + 16 * 5;
    EXPECT_EQ(rec[3], 0x45);
    EXPECT_EQ(rec[8], 0xFF); // no encode code

    Click(Box(1109)); // unchecking blanks the channel again
    EXPECT_TRUE(Edit(1056)->text().isEmpty());
    EXPECT_DOUBLE_EQ(c.rxFrequency, 0.0);
    EXPECT_EQ(c.rxStep625, 255u);
}

TEST_F(ChannelEditTest, TypedCodesAreFilteredCompletedAndClamped)
{
    Program(2, 450.0, 450.0);
    Open(2);
    QComboBox* rxCode = Combo(1091);
    QComboBox* txCode = Combo(1092);

    // A typed code that spells a list entry is still a typed code: with
    // Open TX and no encode code, the encode field takes it too.
    Type(rxCode, QStringLiteral("88.5"));
    Leave();
    EXPECT_EQ(rxCode->currentIndex(), -1);
    EXPECT_STREQ(s.channels[1].rxCode, "88.5");
    EXPECT_STREQ(s.channels[1].txCode, "88.5");

    Type(rxCode, QStringLiteral("d293")); // 9 is no octal digit
    EXPECT_EQ(rxCode->currentText(), QStringLiteral("d23"));
    Leave();
    EXPECT_STREQ(s.channels[1].rxCode, "D230N");

    const std::pair<const char*, const char*> tones[] = {{"88.57", "88.6"}, {"300", "254.1"}, {"50", "67.0"}};
    for (const auto& [typed, shown] : tones) {
        Type(rxCode, QString::fromLatin1(typed));
        Leave();
        EXPECT_EQ(rxCode->currentText(), QString::fromLatin1(shown)) << typed;
        EXPECT_STREQ(s.channels[1].rxCode, shown) << typed;
    }
    EXPECT_STREQ(s.channels[1].txCode, "88.5"); // a set encode code is kept

    ChooseEntry(rxCode, 0); // "None" is no code
    EXPECT_STREQ(s.channels[1].rxCode, "");
    ChooseEntry(txCode, 5);
    EXPECT_STREQ(s.channels[1].txCode, "D023N");
}

TEST_F(ChannelEditTest, SquelchListsFollowTonesAndSignallingAndLockoutKeepsItsPosition)
{
    Program(3, 450.0, 450.0);
    Program(4, 451.0, 451.0);
    Open(3);
    QComboBox* sp = Combo(1094);
    QComboBox* lockout = Combo(1095);

    ChooseEntry(Combo(1093), 1); // DTMF: "carrier", "carrier+DTMF"
    ChooseEntry(sp, 1);
    EXPECT_EQ(s.channels[2].spUnmute, 0u);
    ChooseEntry(Combo(1091), 1); // a decode tone: "QT/DQT", "QT/DQT+DTMF"

    // (Positions to codes: the image's table.)
    ChooseEntry(lockout, 2);
    EXPECT_EQ(s.channels[2].busyLockout, 1u);
    // Away to channel 4 (no tones, short lists) and back: the position is
    // shown again and survives a store.
    Edit(1167)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Edit(1167), Qt::Key_Down);
    EXPECT_EQ(dialog->ChannelNumber(), 4);
    QTest::keyClick(Edit(1167), Qt::Key_Up);
    EXPECT_EQ(lockout->currentIndex(), 2);
    EXPECT_EQ(sp->currentIndex(), 1);
    Type(Edit(1056), QStringLiteral("4525"));
    Leave();
    EXPECT_EQ(s.channels[2].busyLockout, 1u);
    EXPECT_EQ(s.channels[2].spUnmute, 0u);

    // Signalling back to none: "QT/DQT+DTMF" is gone, and the channel holds
    // what the list now shows.
    ChooseEntry(Combo(1093), 0);
    EXPECT_EQ(sp->count(), 1);
    EXPECT_EQ(sp->currentText(), QStringLiteral("QT/DQT"));
    EXPECT_EQ(s.channels[2].spUnmute, 1u);
}

TEST_F(ChannelEditTest, DeleteAllAsksAndKeepsTheModelInChineseToo)
{
    SetLanguageFlag(1);
    Program(1, 450.0, 450.0);
    Program(40, 465.0, 0.0);
    SetText(s.modelCode, "Q70101");
    Open(1);
    answerYes = false;
    Press(dialog.get(), 4);
    EXPECT_EQ(questions, QStringList({"要删除所有信道数据?"}));
    EXPECT_EQ(view.Count(1, 1), 0);

    answerYes = true;
    Press(dialog.get(), 4);
    EXPECT_EQ(view.Count(1, 1), 1);
    EXPECT_DOUBLE_EQ(s.channels[39].rxFrequency, 0.0);
    EXPECT_STREQ(s.modelCode, "Q70101");
}

TEST_F(ChannelEditTest, SavedDefaultFillsTheNextOpenedChannel)
{
    Program(1, 451.0, 452.0, "88.5");
    s.channels[0].highPower = 0;
    Open(1);
    Press(dialog.get(), 3);
    EXPECT_EQ(Profile::GetInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 0), 1);

    Open(7);
    Click(Box(1109));
    const ChannelRecord& c = s.channels[6];
    EXPECT_DOUBLE_EQ(c.rxFrequency, 451.0);
    EXPECT_DOUBLE_EQ(c.txFrequency, 452.0);
    EXPECT_STREQ(c.txCode, "88.5");
    // The decode field showed the "None" entry: it stores as no code, not
    // as the word.
    EXPECT_EQ(Combo(1091)->currentText(), QStringLiteral("None"));
    EXPECT_STREQ(c.rxCode, "");
    EXPECT_EQ(c.highPower, 0u);
}

TEST_F(ChannelEditTest, EscapeKeepsTheTypedFrequency)
{
    Program(1, 450.0, 450.0);
    Open(1);
    Type(Edit(1097), QStringLiteral("4612"));
    QTest::keyClick(Edit(1097), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_DOUBLE_EQ(s.channels[0].txFrequency, 461.2);
}

} // namespace
