#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

#include "CDtmfCodeEdit.h"
#include "DialogEntry.h"
#include "DtmfTestKit.h"

namespace {
using Enc = CDtmfEncodePage;
using Dec = CDtmfDecodePage;

TEST_F(DtmfDialogTest, PttIdDecidesWhichCodesAreOpenAndStored)
{
    RadioSettings s;
    SetText(s.botCode, "123");
    SetText(s.eotCode, "45");
    s.pttId = 0xFF;
    {
        auto dlg = Open(s);
        Enc* enc = dlg->EncodePage();
        EXPECT_EQ(enc->ListControl(Enc::PttId)->currentIndex(), 0);
        EXPECT_FALSE(enc->BotEdit()->isEnabled());
        EXPECT_FALSE(enc->EotEdit()->isEnabled());
        EXPECT_EQ(enc->BotEdit()->text(), "");
        dlg->accept();
        RadioSettings out = s;
        dlg->StoreTo(out);
        EXPECT_EQ(GetText(out.botCode), "");
        EXPECT_EQ(GetText(out.eotCode), "");
        EXPECT_EQ(out.pttId, 0xFFu);
    }

    s.pttId = 0x01;
    auto dlg = Open(s);
    Enc* enc = dlg->EncodePage();
    EXPECT_EQ(enc->ListControl(Enc::PttId)->currentIndex(), 2);
    EXPECT_FALSE(enc->BotEdit()->isEnabled());
    EXPECT_EQ(enc->BotEdit()->text(), "");
    EXPECT_TRUE(enc->EotEdit()->isEnabled());
    EXPECT_EQ(enc->EotEdit()->text(), "45");

    Choose(enc->ListControl(Enc::PttId), 3);
    EXPECT_TRUE(enc->BotEdit()->isEnabled());
    QTest::keyClicks(enc->BotEdit(), "1a*d#");
    QTest::keyClicks(dlg->AutodialPage()->Edit(8), "c0b");
    dlg->accept();
    dlg->StoreTo(s);
    // The codes are stored in upper case.
    EXPECT_EQ(GetText(s.botCode), "1A*D#");
    EXPECT_EQ(GetText(s.eotCode), "45");
    EXPECT_EQ(GetText(s.autodial[8]), "C0B");
    EXPECT_EQ(s.pttId, 0x02u);
}

TEST_F(DtmfDialogTest, ListsShowAndStoreTheirRules)
{
    RadioSettings s;
    s.firstDigitDelay = 0x05;
    s.dtmfSpeed = 0x02;
    s.dKeyAssignment = 0x00;
    s.dtmfKeyFormat = 0x07;
    s.storeAndSendOff = 0;
    s.groupCode = 0x0A;
    s.autoResetTimer = 0x0A;
    s.clearTranspondOff = 2;
    s.carriedByte1079 = 0x12;
    auto dlg = Open(s);
    Enc* enc = dlg->EncodePage();
    Dec* dec = dlg->DecodePage();
    EXPECT_EQ(enc->ListControl(Enc::FirstDelay)->currentIndex(), 3);
    EXPECT_EQ(enc->ListControl(Enc::Speed)->currentIndex(), 3);
    EXPECT_EQ(enc->ListControl(Enc::DKey)->currentIndex(), 0);
    EXPECT_EQ(enc->ListControl(Enc::KeyFormat)->currentIndex(), 1);
    EXPECT_EQ(dec->ListControl(Dec::GroupCode)->currentIndex(), 1);
    EXPECT_EQ(dec->ListControl(Dec::AutoReset)->currentIndex(), 10);
    EXPECT_TRUE(dec->ClearTranspondBox()->isChecked());
    auto* storeSend = enc->findChild<QCheckBox*>("1137");
    EXPECT_TRUE(storeSend->isChecked());

    Choose(enc->ListControl(Enc::FirstDelay), 0);
    Choose(dec->ListControl(Dec::GroupCode), 3);
    storeSend->click();
    QTest::mouseClick(dlg->findChild<QPushButton*>("1"), Qt::LeftButton);
    ASSERT_EQ(dlg->result(), QDialog::Accepted);
    dlg->StoreTo(s);
    EXPECT_EQ(s.firstDigitDelay, 0x02u);
    EXPECT_EQ(s.dtmfSpeed, 0x02u);
    EXPECT_EQ(s.dKeyAssignment, 0xFFu);
    EXPECT_EQ(s.dtmfKeyFormat, 0x00u);
    EXPECT_EQ(s.groupCode, 0x0Cu);
    EXPECT_EQ(s.autoResetTimer, 0x0Au);
    EXPECT_EQ(s.storeAndSendOff, 1u);
    EXPECT_EQ(s.clearTranspondOff, 0u);
    EXPECT_EQ(s.carriedByte1079, 0xFFu);
    EXPECT_EQ(s.dtmfSignalling, 0xFFu);

    // A delay below 2 has no entry; no selection stores the -1 rule.
    s.firstDigitDelay = 0x00;
    s.groupCode = 0xFF;
    auto again = Open(s);
    EXPECT_EQ(again->EncodePage()->ListControl(Enc::FirstDelay)->currentIndex(), -1);
    again->accept();
    again->StoreTo(s);
    EXPECT_EQ(s.firstDigitDelay, 0x01u);
    EXPECT_EQ(s.groupCode, 0xFFu);
}

TEST_F(DtmfDialogTest, CodeEditsTakeOnlyDtmfSymbolsUpToSixteen)
{
    RadioSettings s;
    s.pttId = 0x02; // both codes sent
    auto dlg = Open(s);
    CDtmfCodeEdit* bot = dlg->EncodePage()->BotEdit();
    QTest::keyClicks(bot, "12x");
    EXPECT_EQ(bot->text(), "12");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "ID code input range[0-9,A-D,a-d,*#]!");

    QTest::keyClicks(bot, "34567890ABCD*#99"); // 18 symbols in all
    EXPECT_EQ(bot->text(), "1234567890ABCD*#");

    // Pasted text passes the same filter: refused whole, with the message.
    CDtmfCodeEdit* memory = dlg->AutodialPage()->Edit(0);
    memory->insert("12e4");
    EXPECT_EQ(memory->text(), "");
    QApplication::processEvents();
    EXPECT_EQ(messages.size(), 2);
    memory->insert("*0d");
    EXPECT_EQ(memory->text(), "*0d");
}

TEST_F(DtmfDialogTest, EnterStepsThroughThePagesThenConfirms)
{
    RadioSettings s;
    auto dlg = Open(s);
    CDtmfTabCtrl* tabs = dlg->TabCtrl();
    EXPECT_EQ(tabs->Bar()->tabText(2), "Autodial Memory");
    EXPECT_TRUE(dlg->EncodePage()->isVisible());

    // Even on the OK button Enter first moves on to the next page.
    Enter(dlg->findChild<QPushButton*>("1"));
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_TRUE(dlg->DecodePage()->isVisible());
    EXPECT_FALSE(dlg->EncodePage()->isVisible());
    EXPECT_TRUE(dlg->isVisible());

    Enter(dlg->DecodePage()->IdEdit());
    EXPECT_EQ(tabs->CurrentIndex(), 2);
    EXPECT_EQ(tabs->Bar()->currentIndex(), 2);
    EXPECT_TRUE(dlg->AutodialPage()->isVisible());

    Enter(dlg->AutodialPage()->Edit(3));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DtmfDialogTest, RefusedStunCodeKeepsTheUserOnTheDecodePage)
{
    RadioSettings s;
    auto dlg = Open(s);
    CDtmfTabCtrl* tabs = dlg->TabCtrl();
    Dec* dec = dlg->DecodePage();
    QTabBar* bar = tabs->Bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    ASSERT_EQ(tabs->CurrentIndex(), 1);
    dec->StunAllowBox()->click();
    QTest::keyClicks(dec->StunEdit(), "12ab5");

    Enter(dec->StunEdit());
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(dlg->focusWidget(), dec->StunEdit());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(tabs->CurrentIndex(), 1);
    EXPECT_EQ(bar->currentIndex(), 1);
    QTest::mouseClick(dlg->findChild<QPushButton*>("1"), Qt::LeftButton);
    EXPECT_TRUE(dlg->isVisible());
    ASSERT_EQ(messages.size(), 3);
    for (const QString& m : messages)
        EXPECT_EQ(m, "code length is too short ,must six length!");
    EXPECT_EQ(dec->StunEdit()->text(), "12AB5"); // kept as typed

    QTest::keyClicks(dec->StunEdit(), "6");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(tabs->CurrentIndex(), 2);
    dlg->findChild<QPushButton*>("1")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    dlg->StoreTo(s);
    EXPECT_EQ(GetText(s.stunCode), "12AB56");
    EXPECT_EQ(s.stunAllow, 0xFFu);
}

TEST_F(DtmfDialogTest, CancelChangesNothingAndChineseTitlesShow)
{
    SetLanguageFlag(1);
    RadioSettings s;
    SetText(s.botCode, "77");
    s.pttId = 0x00;
    s.carriedByte1079 = 0x12;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CDtmfDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->TabCtrl()->Bar()->tabText(0), "编码");
        EXPECT_EQ(dlg->findChild<QPushButton*>("2")->text(), "取消");
        QTest::keyClicks(dlg->EncodePage()->BotEdit(), "9");
        dlg->findChild<QPushButton*>("2")->click();
    });
    const OptionList options = Options({{"CPTTID", 4}});
    EXPECT_FALSE(RunDtmfDialog(nullptr, s, options));
    EXPECT_EQ(GetText(s.botCode), "77");
    EXPECT_EQ(s.carriedByte1079, 0x12u);
}
} // namespace
