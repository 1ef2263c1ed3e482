#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "app/SplashWindow.h"

namespace {

// A main window stand-in: a button, an edit and the plain R accelerator.
struct Owner {
    QWidget window;
    QPushButton* button = new QPushButton("Read", &window);
    QLineEdit* edit = new QLineEdit(&window);
    QAction read{&window};
    Owner()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(edit);
        read.setShortcut(Qt::Key_R);
        window.addAction(&read);
        window.resize(800, 700);
    }
    void Show()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

class SplashWindowTest : public ::testing::Test {
protected:
    void SetUp() override { SplashWindow::EnableSplash(true); }
    void TearDown() override
    {
        SplashWindow::HideSplash();
        SplashWindow::EnableSplash(false);
        QTest::qWait(QApplication::doubleClickInterval() + 100); // the closing click's grace time
    }
};

} // namespace

TEST_F(SplashWindowTest, AClickOrKeyHidesItAndNeverReachesTheWindowBeneath)
{
    Owner owner;
    owner.Show();
    QSignalSpy clicked(owner.button, &QPushButton::clicked);
    QSignalSpy triggered(&owner.read, &QAction::triggered);

    SplashWindow::ShowSplash(&owner.window);
    QTest::mouseClick(owner.button, Qt::LeftButton);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    QTest::mouseDClick(owner.button, Qt::LeftButton); // the rest of the same gesture
    EXPECT_EQ(clicked.count(), 0);

    owner.button->setFocus();
    SplashWindow::ShowSplash(&owner.window);
    QTest::keyClick(owner.button, Qt::Key_R);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    EXPECT_EQ(triggered.count(), 0);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QTest::keyClick(owner.button, Qt::Key_R); // the window has the keys again
    EXPECT_EQ(triggered.count(), 1);
}

TEST_F(SplashWindowTest, ShownAgainAtOnceItAnswersKeysAndGoesWithItsOwner)
{
    auto owner = std::make_unique<Owner>();
    // Shown again at once after a close, it still answers keys, and they
    // never reach the field beneath.
    SplashWindow::ShowSplash(&owner->window);
    SplashWindow::HideSplash();
    SplashWindow::ShowSplash(&owner->window);
    QTest::keyClick(owner->edit, Qt::Key_A);
    EXPECT_EQ(SplashWindow::Current(), nullptr);
    EXPECT_EQ(owner->edit->text(), "");

    SplashWindow::ShowSplash(&owner->window);
    ASSERT_NE(SplashWindow::Current(), nullptr);
    owner.reset();
    EXPECT_EQ(SplashWindow::Current(), nullptr);
}
