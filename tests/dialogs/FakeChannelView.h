#pragma once
#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "ChannelUpdateSink.h"
#include "OptionList.h"
#include "RadioSettings.h"

// Stands in for the channel grid: records every notification and, for mode
// 1, blanks the table as the view does (the model code survives).
class FakeChannelView : public ChannelUpdateSink {
public:
    explicit FakeChannelView(RadioSettings* s = nullptr) : settings(s) {}
    void OnChannelUpdate(int channel, int mode) override
    {
        calls.emplace_back(channel, mode);
        if (mode == 1 && settings) {
            const std::string code(GetText(settings->modelCode));
            settings->Reset();
            SetText(settings->modelCode, code);
        }
    }
    int Count(int channel, int mode) const
    {
        int n = 0;
        for (const auto& c : calls)
            n += c == std::make_pair(channel, mode);
        return n;
    }
    RadioSettings* settings;
    std::vector<std::pair<int, int>> calls;
};

// Shows a dialog and makes it the active window, so focus changes happen as
// they do for a user.
inline void ShowActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    (void)QTest::qWaitForWindowActive(w);
}

// Chooses an entry of a drop-down with the mouse, through its open list.
inline void ChooseEntry(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, combo->modelColumn());
    view->scrollTo(item);
    const QRect r = view->visualRect(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QApplication::processEvents();
    // The closed list hands the keyboard back to its dialog.
    QApplication::setActiveWindow(combo->window());
}

// A control of dialog by its id.
template <class T = QWidget>
T* Ctl(const QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}

// Focus into the field as a click would, replace its text by typing, stay.
inline void Type(QWidget* field, const QString& text)
{
    field->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

inline QStringList Entries(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

// The English option file with text in dir, as the view's option list reads it.
inline OptionList WriteOptions(const QTemporaryDir& dir, const QString& text)
{
    QFile ini(QDir(dir.path()).filePath(QStringLiteral("EConfig.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write(text.toUtf8());
    OptionList options(dir.path());
    options.SetFile(QStringLiteral("EConfig.ini"));
    return options;
}
