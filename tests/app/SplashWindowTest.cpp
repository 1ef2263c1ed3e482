#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "Language.h"
#include "SplashWindow.h"

namespace {

// A main window stand-in with a button and an edit under the splash.
struct Owner {
    QWidget window;
    QPushButton* button;
    QLineEdit* edit;
    Owner()
    {
        auto* layout = new QVBoxLayout(&window);
        button = new QPushButton("Read", &window);
        edit = new QLineEdit(&window);
        layout->addWidget(button);
        layout->addWidget(edit);
        window.resize(800, 700);
    }
};

class SplashWindowTest : public ::testing::Test {
protected:
    void SetUp() override { SplashWindow::EnableSplash(true); }
    void TearDown() override
    {
        SplashWindow::HideSplash();
        SplashWindow::EnableSplash(false);
        SetLanguageFlag(1);
        // Let the deferred deletions and the lingering filter finish.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
    }
};

} // namespace

TEST_F(SplashWindowTest, DisabledShowsNothing)
{
    SplashWindow::EnableSplash(false);
    Owner owner;
    owner.window.show();
    SplashWindow::ShowSplash(&owner.window);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    // Nothing is filtered either: the edit still takes keys.
    QTest::keyClicks(owner.edit, "12");
    EXPECT_EQ(owner.edit->text(), "12");
}

TEST_F(SplashWindowTest, ShowsThePictureCentredWithTheTwoLines)
{
    Owner owner;
    SplashWindow::ShowSplash(&owner.window);
    SplashWindow* splash = SplashWindow::Current();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->size(), QSize(600, 450));
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    // The owner is hidden: centred on the screen.
    const QRect screen = owner.window.screen()->availableGeometry();
    EXPECT_LE((splash->geometry().center() - screen.center()).manhattanLength(), 2);
    // A second call while one is shown creates no other.
    SplashWindow::ShowSplash(&owner.window);
    EXPECT_EQ(SplashWindow::Current(), splash);

    EXPECT_EQ(splash->ModelLine()->geometry(), QRect(200, 370, 400, 80));
    EXPECT_EQ(splash->SecondLine()->geometry(), QRect(200, 400, 400, 50));
    EXPECT_EQ(splash->ModelLine()->text(), "适用机型: HX71O0/HX8100/HX8180");
    EXPECT_FALSE(splash->SecondLine()->text().isEmpty());

    // The picture itself is painted, not a blank window.
    const QImage image = splash->grab().toImage();
    EXPECT_NE(image.pixelColor(10, 10), image.pixelColor(130, 300));

    SplashWindow::HideSplash();
    EXPECT_EQ(SplashWindow::Current(), nullptr);

    SetLanguageFlag(0);
    owner.window.show();
    owner.window.move(40, 30);
    SplashWindow::ShowSplash(&owner.window);
    ASSERT_NE(SplashWindow::Current(), nullptr);
    EXPECT_EQ(SplashWindow::Current()->ModelLine()->text(), "For: HX71O0/HX8100/HX8180");
    EXPECT_LE((SplashWindow::Current()->geometry().center() - owner.window.frameGeometry().center())
                  .manhattanLength(),
              2);
}

TEST_F(SplashWindowTest, AClickHidesItAndNeverReachesTheWindowBeneath)
{
    Owner owner;
    owner.window.show();
    QSignalSpy clicked(owner.button, &QPushButton::clicked);
    SplashWindow::ShowSplash(&owner.window);
    ASSERT_NE(SplashWindow::Current(), nullptr);

    QTest::mouseClick(owner.button, Qt::LeftButton);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    EXPECT_EQ(clicked.count(), 0);
    // The second press of a double click belongs to the same gesture.
    QTest::mouseDClick(owner.button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);

    // Once the moment has passed the window works normally.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QTest::mouseClick(owner.button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(SplashWindowTest, AKeyHidesItAndIsSwallowed)
{
    Owner owner;
    // Plain R is the Read Data accelerator of the main window.
    QAction read(&owner.window);
    read.setShortcut(Qt::Key_R);
    owner.window.addAction(&read);
    QSignalSpy triggered(&read, &QAction::triggered);
    owner.window.show();
    owner.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner.window));
    owner.button->setFocus();
    QTest::keyClick(owner.button, Qt::Key_R);
    ASSERT_EQ(triggered.count(), 1);
    triggered.clear();

    SplashWindow::ShowSplash(&owner.window);
    ASSERT_NE(SplashWindow::Current(), nullptr);
    QTest::keyClick(owner.button, Qt::Key_R);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    EXPECT_EQ(triggered.count(), 0);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QTest::keyClick(owner.button, Qt::Key_R);
    EXPECT_EQ(triggered.count(), 1);

    owner.edit->setFocus();
    SplashWindow::ShowSplash(&owner.window);
    ASSERT_NE(SplashWindow::Current(), nullptr);
    QTest::keyClick(owner.edit, Qt::Key_A);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    EXPECT_EQ(owner.edit->text(), "");
}

TEST_F(SplashWindowTest, GoesAwayByItselfAfterItsTime)
{
    Owner owner;
    QElapsedTimer clock;
    clock.start();
    SplashWindow::ShowSplash(&owner.window);
    ASSERT_NE(SplashWindow::Current(), nullptr);
    QTest::qWait(SplashWindow::kShowMilliseconds - 300);
    EXPECT_NE(SplashWindow::Current(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(SplashWindow::Current() == nullptr, 2000);
    EXPECT_GE(clock.elapsed(), SplashWindow::kShowMilliseconds);
}

TEST_F(SplashWindowTest, DestroyedWithItsOwnerLeavesNothingBehind)
{
    {
        Owner owner;
        SplashWindow::ShowSplash(&owner.window);
        ASSERT_NE(SplashWindow::Current(), nullptr);
    }
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    // A new start can show it again.
    Owner next;
    SplashWindow::ShowSplash(&next.window);
    EXPECT_NE(SplashWindow::Current(), nullptr);
}
