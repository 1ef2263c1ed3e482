// The DTMF dialog: the list rules, the codes kept or dropped and the stun
// code check.
#include <QCheckBox>
#include <memory>

#include "dialogs/CAutodialPage.h"
#include "ui/CDtmfCodeEdit.h"
#include "dialogs/CDtmfDecodePage.h"
#include "dialogs/CDtmfDlg.h"
#include "dialogs/CDtmfEncodePage.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {
using Enc = CDtmfEncodePage;
using Dec = CDtmfDecodePage;

class DtmfDialogTest : public DialogTest {
protected:
    OptionList AllOptions()
    {
        return Options({{"CDTMFKey", 2}, {"CDCode", 5}, {"CPTTID", 4}, {"CTONETIME", 5}, {"CFIRSTDTMFTIME", 5},
                        {"CFIRSTDTMFDELAYTIME", 8}, {"CDTMFSPEED", 5}, {"CAutoReset", 11}, {"CTranspond", 4},
                        {"CCallAlert", 4}, {"CGroupCode", 7}, {"CINTERMEDIATE_CODE", 5}, {"CDTMFSign", 2}});
    }
    std::unique_ptr<CDtmfDlg> Open(const RadioSettings& s)
    {
        auto dlg = std::make_unique<CDtmfDlg>();
        dlg->LoadFrom(s, AllOptions());
        dlg->show();
        return dlg;
    }
    // OK from the code, then the fields into s.
    static void Confirm(CDtmfDlg& dlg, RadioSettings& s)
    {
        dlg.accept();
        dlg.StoreTo(s);
    }
    static void Enter(QWidget* control) { QTest::keyClick(control, Qt::Key_Return); }
};

TEST_F(DtmfDialogTest, PttIdDecidesWhichCodesAreOpenAndStored)
{
    RadioSettings s;
    SetText(s.botCode, "123");
    SetText(s.eotCode, "45");
    s.pttId = 0xFF;
    {
        auto dlg = Open(s); // neither code is sent: neither is kept
        RadioSettings out = s;
        Confirm(*dlg, out);
        EXPECT_EQ(GetText(out.botCode), "");
        EXPECT_EQ(GetText(out.eotCode), "");
    }

    s.pttId = 0x01;
    auto dlg = Open(s);
    Enc* enc = dlg->EncodePage();
    EXPECT_EQ(enc->ListControl(Enc::PttId)->currentIndex(), 2);
    EXPECT_FALSE(enc->BotEdit()->isEnabled());
    EXPECT_EQ(enc->EotEdit()->text(), "45");

    Choose(enc->ListControl(Enc::PttId), 3);
    EXPECT_TRUE(enc->BotEdit()->isEnabled());
    QTest::keyClicks(enc->BotEdit(), "1a*d#");
    QTest::keyClicks(dlg->AutodialPage()->Edit(8), "c0b");
    Confirm(*dlg, s);
    // The codes are stored in upper case.
    EXPECT_EQ(GetText(s.botCode), "1A*D#");
    EXPECT_EQ(GetText(s.eotCode), "45");
    EXPECT_EQ(GetText(s.autodial[8]), "C0B");
    EXPECT_EQ(s.pttId, 0x02u);
}

// Each list: stored byte, position shown, position chosen (-1 none) and the
// byte stored on OK. A first-digit delay below 2 has no entry; no selection
// stores the -1 rule. The boxes show inverted bytes; the byte carried with
// the page is reset.
TEST_F(DtmfDialogTest, ListsShowAndStoreTheirRules)
{
    const struct { bool decode; int list; uint32_t RadioSettings::*member; uint32_t stored; int shown, chosen;
                   uint32_t expected; } cases[] = {
        {false, Enc::FirstDelay, &RadioSettings::firstDigitDelay, 0x05, 3, 0, 0x02},
        {false, Enc::FirstDelay, &RadioSettings::firstDigitDelay, 0x00, -1, -1, 0x01},
        {false, Enc::DKey, &RadioSettings::dKeyAssignment, 0x00, 0, 0, 0xFF},
        {false, Enc::KeyFormat, &RadioSettings::dtmfKeyFormat, 0x07, 1, 1, 0x00},
        {true, Dec::GroupCode, &RadioSettings::groupCode, 0x0A, 1, 3, 0x0C},
        {true, Dec::AutoReset, &RadioSettings::autoResetTimer, 0x0A, 10, 10, 0x0A},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "list " << c.list << " stored " << c.stored);
        RadioSettings s;
        s.*c.member = c.stored;
        auto dlg = Open(s);
        QComboBox* list = c.decode ? dlg->DecodePage()->ListControl(Dec::List(c.list))
                                   : dlg->EncodePage()->ListControl(Enc::List(c.list));
        EXPECT_EQ(list->currentIndex(), c.shown);
        if (c.chosen >= 0)
            Choose(list, c.chosen);
        Confirm(*dlg, s);
        EXPECT_EQ(s.*c.member, c.expected);
    }
    RadioSettings s;
    s.storeAndSendOff = 0;
    s.clearTranspondOff = 2;
    s.carriedByte1079 = 0x12;
    auto dlg = Open(s);
    auto* storeSend = Ctl<QCheckBox>(dlg->EncodePage(), 1137);
    EXPECT_TRUE(storeSend->isChecked());
    EXPECT_TRUE(dlg->DecodePage()->ClearTranspondBox()->isChecked());
    storeSend->click();
    Press(dlg.get(), 1);
    ASSERT_EQ(dlg->result(), QDialog::Accepted);
    dlg->StoreTo(s);
    EXPECT_EQ(s.storeAndSendOff, 1u);
    EXPECT_EQ(s.clearTranspondOff, 0u);
    EXPECT_EQ(s.carriedByte1079, 0xFFu);
}

// Neither Enter nor OK gets past a short stun code.
TEST_F(DtmfDialogTest, ShortStunCodeIsRefused)
{
    RadioSettings s;
    auto dlg = Open(s);
    Dec* dec = dlg->DecodePage();
    dlg->TabCtrl()->SelectPage(1);
    dec->StunAllowBox()->click();
    QTest::keyClicks(dec->StunEdit(), "12ab5");
    Enter(dec->StunEdit());
    Press(dlg.get(), 1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(messages, QStringList(2, "code length is too short ,must six length!"));
    EXPECT_EQ(dec->StunEdit()->text(), "12AB5"); // kept as typed

    QTest::keyClicks(dec->StunEdit(), "6");
    Press(dlg.get(), 1);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    dlg->StoreTo(s);
    EXPECT_EQ(GetText(s.stunCode), "12AB56");
    EXPECT_EQ(s.stunAllow, 0xFFu);
}

// A code of digits only is refused and cleared; the code is kept only
// while stun is allowed.
TEST_F(DtmfDialogTest, StunCodeTypingAndCheck)
{
    RadioSettings s;
    s.stunAllow = 0xFF;
    SetText(s.stunCode, "12ABC3");
    auto dlg = Open(s);
    Dec* dec = dlg->DecodePage();
    CStunCodeEdit* stun = dec->StunEdit();
    EXPECT_EQ(stun->text(), "12ABC3");
    stun->clear();
    QTest::keyClicks(stun, "1234567");
    EXPECT_EQ(stun->text(), "123456");
    EXPECT_EQ(dec->ValidateStunCode(), 0);
    EXPECT_EQ(messages, QStringList({"must be has one letter at leas!"}));
    EXPECT_EQ(stun->text(), "");

    dec->StunAllowBox()->click(); // not allowed: the typed code is not kept
    Confirm(*dlg, s);
    EXPECT_EQ(GetText(s.stunCode), "");
    EXPECT_EQ(s.stunAllow, 0x00u);
}

TEST_F(DtmfDialogTest, SignallingSetsTheIdCodeLength)
{
    RadioSettings s;
    s.dtmfSignalling = 0xFF;
    auto dlg = Open(s);
    Dec* dec = dlg->DecodePage();
    CDigitEdit* id = dec->IdEdit();
    id->end(false);
    QTest::keyClicks(id, "12a-34567890");
    EXPECT_EQ(id->text(), "0001234567"); // ten digits, letters dropped

    // What was typed on the page survives the change of signalling.
    dec->StunAllowBox()->click();
    QTest::keyClicks(dec->StunEdit(), "AB1234");
    Choose(dec->ListControl(Dec::Signalling), 1);
    EXPECT_EQ(id->text(), "000");
    EXPECT_EQ(dec->StunEdit()->text(), "AB1234");
    id->selectAll();
    QTest::keyClicks(id, "4567");
    EXPECT_EQ(id->text(), "456");

    Confirm(*dlg, s);
    EXPECT_EQ(GetText(s.idCode), "456");
    EXPECT_EQ(GetText(s.stunCode), "AB1234");
    EXPECT_EQ(s.dtmfSignalling, 0x00u);
}

} // namespace
