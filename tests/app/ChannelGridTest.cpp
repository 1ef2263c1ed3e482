// The channel grid: update mode one, clicks and colours.
#include <QPushButton>

#include "AppTestKit.h"
#include "app/GridLayout.h"

using namespace apptest;

namespace {
using ChannelGridTest = AppTest;
} // namespace

TEST_F(ChannelGridTest, UpdateModeOneBlanksAllButTheModelCode)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    RadioSettings& s = run.settings();
    s.channels[0].rxFrequency = 450.0;
    s.squelchLevel = 9;
    SetText(s.modelCode, "Q80109");
    run.doc()->SetModifiedFlag(false);
    view->OnChannelUpdate(0, 1);
    EXPECT_TRUE(run.doc()->IsModified());
    EXPECT_LT(s.channels[0].rxFrequency, 0.1);
    EXPECT_NE(s.squelchLevel, 9u);
    EXPECT_EQ(std::string(GetText(s.modelCode)), "Q80109");
}

TEST_F(ChannelGridTest, TheSelectedRowStandsOutProgrammedOrEmpty)
{
    RunningApp run;
    CZEMTRA800View* view = run.view();
    run.settings().channels[0].rxFrequency = 450.0;
    run.settings().channels[1].rxFrequency = 450.0;
    const GridLayout g = view->Layout();
    const QPoint inside(4, g.rowHeight / 2);
    auto colourAt = [&](int row) {
        view->TakeInvalidations();
        const QImage image = view->grab().toImage();
        return image.pixelColor((g.cell[row - 1][5].topLeft() + inside) * image.devicePixelRatio()).rgb();
    };
    // Far apart in at least one primary, as an eye sees it at once.
    auto plainlyApart = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) >= 150;
    };
    const QRgb white = qRgb(255, 255, 255);
    const QRgb background = view->palette().color(QPalette::Window).rgb();

    ClickRow(view, 2); // programmed
    const QRgb programmed = colourAt(2);
    EXPECT_TRUE(plainlyApart(programmed, white)) << std::hex << programmed;
    EXPECT_TRUE(plainlyApart(programmed, background)) << std::hex << programmed;
    EXPECT_EQ(colourAt(1), white);
    ClickRow(view, 5); // empty
    EXPECT_EQ(colourAt(5), programmed);
    EXPECT_EQ(colourAt(2), white);
    EXPECT_EQ(colourAt(6), background);

    // The row button opens the editor on its channel; the row being edited
    // keeps its own colour.
    ModalCloser closer;
    QRgb editing = 0;
    closer.whileShown = [&] { editing = colourAt(2); };
    view->RowButton(2)->click();
    EXPECT_EQ(closer.seen, 1);
    EXPECT_EQ(view->SelectedChannel(), 2);
    EXPECT_EQ(editing, qRgb(190, 203, 238));
}
