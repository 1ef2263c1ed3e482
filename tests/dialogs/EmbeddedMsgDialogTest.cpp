// The embedded message dialog: a limit in GBK bytes, and stored bytes kept.
#include <QInputMethodEvent>
#include <QStringEncoder>

#include "dialogs/CEmbeddedMsgDlg.h"
#include "image/CImportData.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"

namespace {
using EmbeddedMsgTest = DialogTest;

// Text typed through an input method, the way Chinese is entered.
void Commit(QWidget* edit, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

QByteArray Gbk(const char* utf8) { return QStringEncoder("GBK").encode(QString::fromUtf8(utf8)); }

TEST_F(EmbeddedMsgTest, LimitCountsGbkBytes)
{
    RadioSettings s;
    CEmbeddedMsgDlg dlg;
    dlg.LoadFrom(s);
    dlg.show();
    CMessageEdit* first = dlg.Edit1();
    CMessageEdit* second = dlg.Edit2();

    QTest::keyClicks(first, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"); // 32
    QTest::keyClicks(first, "6");
    EXPECT_EQ(first->text().size(), 32);

    // Sixteen Chinese characters fill the 32 bytes; a 17th does not fit, nor
    // does one after 31 single bytes.
    for (int i = 0; i < 17; ++i)
        Commit(second, QString::fromUtf8("中"));
    EXPECT_EQ(second->text(), QString::fromUtf8("中").repeated(16));
    second->clear();
    QTest::keyClicks(second, QString(31, QLatin1Char('x')));
    Commit(second, QString::fromUtf8("文"));
    EXPECT_EQ(second->text().size(), 31);

    // A character the radio's code page cannot hold is not taken.
    second->clear();
    Commit(second, QString::fromUtf8("A😀B"));
    Commit(second, QString::fromUtf8("你好"));
    EXPECT_EQ(second->text(), QString::fromUtf8("你好"));

    dlg.accept();
    dlg.StoreTo(s);
    EXPECT_EQ(GetText(s.message1), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    EXPECT_EQ(QByteArray(s.message2), Gbk("你好"));
    EXPECT_TRUE(messages.isEmpty());
}

// An edited message ends at its zero, the bytes after it stay in the field
// and the image carries only the message; an untouched message keeps its
// bytes even where they are not all valid GBK.
TEST_F(EmbeddedMsgTest, EditedMessageEndsAtItsZeroAndAnUntouchedOneKeepsItsBytes)
{
    CImportData data;
    RadioSettings& s = *data.GetSettings();
    SetText(s.message1, "ABCDEFGHIJKLMNOPQRST"); // 20
    const char odd[] = "\x81\x30Z\xD6\xD0";
    SetText(s.message2, odd);
    OnModal<CEmbeddedMsgDlg>([](CEmbeddedMsgDlg* dlg) {
        EXPECT_EQ(dlg->Edit1()->text(), "ABCDEFGHIJKLMNOPQRST");
        EXPECT_EQ(dlg->Edit2()->text().right(2), QString::fromUtf8("Z中"));
        dlg->Edit1()->selectAll();
        QTest::keyClicks(dlg->Edit1(), "Hello");
        Press(dlg, 1);
    });
    ASSERT_TRUE(RunEmbeddedMsgDialog(nullptr, s));
    EXPECT_EQ(GetText(s.message1), "Hello");
    EXPECT_EQ(std::string(s.message1 + 6, 14), "GHIJKLMNOPQRST");
    EXPECT_EQ(GetText(s.message2), std::string_view(odd));

    ASSERT_EQ(data.EncodeAll(), 0);
    const uint8_t* image = data.Image();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image + 1920), 5), "Hello");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(image + 1925), 27), QByteArray(27, '\xFF'));
}
} // namespace
