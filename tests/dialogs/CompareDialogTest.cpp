// The compare dialog: what differs between this document and a file or the
// radio, in the window's language, copied as text.
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>

#include "DialogTestKit.h"
#include "dialogs/CCompareDlg.h"
#include "image/CImportData.h"
#include "image/ImageCompare.h"

namespace {

class CompareDialogTest : public DialogTest {
protected:
    // A: channel 7 on 450.0125 MHz, autodial 3 "123", message 1 "中文".
    // B: A with channel 7 receiving on 451 MHz, squelch 5, autodial 3
    // empty, message 1 a"b, and four bytes no field owns cleared.
    void SetUp() override
    {
        DialogTest::SetUp();
        RadioSettings& s = *a.GetSettings();
        s.channels[6].rxFrequency = s.channels[6].txFrequency = 450.0125;
        SetText(s.autodial[2], "123");
        SetText(s.message1, QByteArray(QStringEncoder("GBK").encode(QString::fromUtf8("中文"))).toStdString());
        ASSERT_EQ(a.EncodeAll(), 0);
        b.SetBytes(a.Image(), 0, ImageMap::kSize);
        RadioSettings& t = *b.GetSettings();
        t = s;
        t.channels[6].rxFrequency = 451.0;
        t.squelchLevel = 5;
        SetText(t.autodial[2], "");
        SetText(t.message1, "a\"b");
        ASSERT_EQ(b.EncodeAll(), 0);
        const uint8_t zeros[4] = {};
        b.SetBytes(zeros, 0x07F0, 4);
        a.ResetSettings();
        b.ResetSettings();
        ASSERT_EQ(a.DecodeAll(), 0);
        ASSERT_EQ(b.DecodeAll(), 0);
    }

    CImportData a, b;
};

TEST_F(CompareDialogTest, EveryDifferenceIsARowByItsDumpNameAndCopiesAsTheCommandPrintsIt)
{
    CCompareDlg dialog(ImageCompare::Compare(a, b), CCompareDlg::Other::File, "after.dat");
    ShowActive(&dialog);
    EXPECT_EQ(dialog.Summary()->text(), "Differences between this document and after.dat: 5");
    const QTableWidget* table = dialog.Table();
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "after.dat");
    ASSERT_EQ(table->rowCount(), 5);
    // Values in dump's order, as dump prints them, the message from GBK;
    // then the bytes no value shows. (The window's tests read the cells.)

    QApplication::clipboard()->clear();
    QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), "Differences between this document and after.dat: 5\n"
                                                 "channel 7 rxFrequency: 450.01250 -> 451.00000\n"
                                                 "autodial 3: \"123\" -> \"\"\n"
                                                 "squelchLevel: 1 -> 5\n"
                                                 "message1: \"中文\" -> \"a\\\"b\"\n"
                                                 "bytes 0x07F0..0x07F3: ff ff ff ff -> 00 00 00 00\n");
    EXPECT_TRUE(dialog.isVisible()); // copying does not close the dialog
}

} // namespace
