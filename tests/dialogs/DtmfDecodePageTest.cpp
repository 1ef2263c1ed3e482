#include <QCheckBox>

#include "DtmfTestKit.h"

namespace {
using Dec = CDtmfDecodePage;

TEST_F(DtmfDialogTest, StunCodeTypingAndCheck)
{
    RadioSettings s;
    s.stunAllow = 0xFF;
    SetText(s.stunCode, "12ABC3");
    auto dlg = Open(s);
    Dec* dec = dlg->DecodePage();
    CStunCodeEdit* stun = dec->StunEdit();
    // Stun allowed at opening: the stored code is shown.
    EXPECT_TRUE(stun->isEnabled());
    EXPECT_EQ(stun->text(), "12ABC3");

    // Allowing stun again starts from an empty code.
    dec->StunAllowBox()->click();
    EXPECT_FALSE(stun->isEnabled());
    dec->StunAllowBox()->click();
    EXPECT_EQ(stun->text(), "");

    QTest::keyClicks(stun, "1bd");
    EXPECT_EQ(stun->text(), "1B");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Stun code input range [0-9,A-C]!");

    stun->clear();
    QTest::keyClicks(stun, "1234567");
    EXPECT_EQ(stun->text(), "123456");
    EXPECT_EQ(dec->ValidateStunCode(), 0);
    EXPECT_EQ(messages.last(), "must be has one letter at leas!");
    EXPECT_EQ(stun->text(), "");

    QTest::keyClicks(stun, "12345c");
    EXPECT_EQ(dec->ValidateStunCode(), 1);
    EXPECT_EQ(stun->text(), "12345C");
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(DtmfDialogTest, StunNotAllowedStoresAnEmptyCode)
{
    SetLanguageFlag(1);
    RadioSettings s;
    s.stunAllow = 0x00;
    SetText(s.stunCode, "12ABC3");
    auto dlg = Open(s);
    Dec* dec = dlg->DecodePage();
    EXPECT_FALSE(dec->StunEdit()->isEnabled());
    EXPECT_EQ(dec->StunEdit()->text(), "");
    EXPECT_EQ(dec->StunAllowBox()->text(), "遥毙允许");
    dlg->accept();
    dlg->StoreTo(s);
    EXPECT_EQ(GetText(s.stunCode), "");
    EXPECT_EQ(s.stunAllow, 0x00u);

    // The Chinese messages.
    auto again = Open(s);
    again->DecodePage()->StunAllowBox()->click();
    QTest::keyClicks(again->DecodePage()->StunEdit(), "1x");
    again->accept();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "遥毙码输入范围[0-9,A-C]!");
    EXPECT_EQ(messages[1], "请输入输入六位遥毙码!");
}

TEST_F(DtmfDialogTest, SignallingSetsTheIdCodeLength)
{
    RadioSettings s;
    s.dtmfSignalling = 0xFF;
    auto dlg = Open(s);
    Dec* dec = dlg->DecodePage();
    CDigitEdit* id = dec->IdEdit();
    QComboBox* signalling = dec->ListControl(Dec::Signalling);
    EXPECT_EQ(signalling->currentIndex(), 0);
    EXPECT_EQ(id->text(), "000");
    EXPECT_FALSE(dec->ListControl(Dec::Intermediate)->isEnabled());

    id->end(false);
    QTest::keyClicks(id, "12a-34567890");
    EXPECT_EQ(id->text(), "0001234567"); // ten digits, letters dropped
    EXPECT_TRUE(messages.isEmpty());

    // What was typed on the page survives the change of signalling.
    dec->StunAllowBox()->click();
    QTest::keyClicks(dec->StunEdit(), "AB1234");
    Choose(signalling, 1);
    EXPECT_EQ(id->text(), "000");
    EXPECT_TRUE(dec->ListControl(Dec::Intermediate)->isEnabled());
    EXPECT_EQ(dec->StunEdit()->text(), "AB1234");
    EXPECT_TRUE(dec->StunAllowBox()->isChecked());
    id->selectAll();
    QTest::keyClicks(id, "4567");
    EXPECT_EQ(id->text(), "456");

    dlg->accept();
    dlg->StoreTo(s);
    EXPECT_EQ(GetText(s.idCode), "456");
    EXPECT_EQ(GetText(s.stunCode), "AB1234");
    EXPECT_EQ(s.dtmfSignalling, 0x00u);
}

TEST_F(DtmfDialogTest, StoredIdCodeIsNeitherCutNorFilteredUntilEdited)
{
    RadioSettings s;
    s.dtmfSignalling = 0x00;
    SetText(s.idCode, "12A*");
    auto dlg = Open(s);
    CDigitEdit* id = dlg->DecodePage()->IdEdit();
    EXPECT_EQ(id->text(), "12A*");
    EXPECT_EQ(id->LimitText(), 3);
    QTest::keyClick(id, Qt::Key_9); // over the limit
    EXPECT_EQ(id->text(), "12A*");

    // Deleting the "*" leaves the "A" before the caret, which goes too.
    id->end(false);
    QTest::keyClick(id, Qt::Key_Backspace);
    EXPECT_EQ(id->text(), "12");
    dlg->accept();
    dlg->StoreTo(s);
    EXPECT_EQ(GetText(s.idCode), "12");
}
} // namespace
