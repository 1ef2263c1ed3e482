// Shared set-up of the dialog tests: a fixture that records the message
// boxes, option files of our own, a stand-in for the channel grid, and the
// keyboard and mouse steps a user takes.
#pragma once
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>
#include <gtest/gtest.h>

#include "ui/AppMessage.h"
#include "dialogs/ChannelUpdateSink.h"
#include "ui/Language.h"
#include "ui/OptionList.h"
#include "image/RadioSettings.h"

// Readable texts in failure reports and assertion messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

// Stands in for the channel grid: records every notification and, for mode
// 1, blanks the table as the view does (the model code survives).
class FakeChannelView : public ChannelUpdateSink {
public:
    void OnChannelUpdate(int channel, int mode) override
    {
        calls.emplace_back(channel, mode);
        if (mode == 1 && settings) {
            const std::string code(GetText(settings->modelCode));
            settings->Reset();
            SetText(settings->modelCode, code);
        }
    }
    int Count(int channel, int mode) const { return int(std::ranges::count(calls, std::make_pair(channel, mode))); }
    RadioSettings* settings = nullptr;
    std::vector<std::pair<int, int>> calls;
};

// English texts; every box is recorded (questions apart) and answered with
// answerYes.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        SetLanguageFlag(0);
        SetAppMessageHook([this](const QString& text, bool yesNo) {
            (yesNo ? questions : messages).append(text);
            return answerYes;
        });
    }
    void TearDown() override
    {
        SetAppMessageHook({});
        SetLanguageFlag(1);
    }

    // An EConfig.ini of the given text.
    OptionList OptionFile(const QString& text)
    {
        QFile file(QDir(dir_.path()).filePath(QStringLiteral("EConfig.ini")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        OptionList options(dir_.path());
        options.SetFile(QStringLiteral("EConfig.ini"));
        return options;
    }
    // An EConfig.ini with sections of n entries named "<section> k".
    OptionList Options(const QList<QPair<QString, int>>& sections)
    {
        QString text;
        for (const auto& [name, count] : sections) {
            text += QStringLiteral("[%1]\n").arg(name);
            for (int k = 0; k < count; ++k)
                text += QStringLiteral("%1 %2=%2\n").arg(name).arg(k);
        }
        return OptionFile(text);
    }

    QStringList messages;
    QStringList questions;
    bool answerYes = true;

private:
    QTemporaryDir dir_;
};

// Shows a dialog and makes it the active window, so focus changes happen as
// they do for a user.
inline void ShowActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    (void)QTest::qWaitForWindowActive(w);
}

// Runs steps on the modal dialog of type D as soon as its loop runs; the
// dialog is closed afterwards if the steps left it open.
template <class D>
void OnModal(std::function<void(D*)> steps)
{
    QTimer::singleShot(0, [steps] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* d = qobject_cast<D*>(modal);
        EXPECT_NE(d, nullptr);
        if (d) {
            ShowActive(d);
            steps(d);
        }
        if (modal && modal->isVisible())
            modal->close();
    });
}

// A control of dialog by its id.
template <class T = QWidget>
T* Ctl(const QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}

// Chooses an entry of a drop-down with the mouse, through its open list.
inline void ChooseEntry(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, combo->modelColumn());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QApplication::processEvents();
    // The closed list hands the keyboard back to its dialog.
    QApplication::setActiveWindow(combo->window());
}

// Chooses entry position the way a keyboard user does, with the arrow keys
// from the entry shown.
inline void Choose(QComboBox* list, int position)
{
    list->setFocus();
    if (list->currentIndex() < 0)
        QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count() && list->currentIndex() < position; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    for (int i = 0; i < list->count() && list->currentIndex() > position; ++i)
        QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(list->currentIndex(), position);
}

// Focus into the field as a click would, replace its text by typing, stay.
inline void Type(QWidget* field, const QString& text)
{
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

inline void Press(const QWidget* dialog, int id) { QTest::mouseClick(Ctl(dialog, id), Qt::LeftButton); }

