// Shared set-up of the settings dialog tests: option files of our own in a
// temporary folder, a message hook that records, and keyboard helpers.
#pragma once
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "AppMessage.h"
#include "Language.h"
#include "OptionList.h"

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        SetLanguageFlag(0);
        SetAppMessageHook([this](const QString& text, bool) {
            messages.append(text);
            return false;
        });
    }
    void TearDown() override
    {
        SetAppMessageHook({});
        SetLanguageFlag(1);
    }

    // Writes an EConfig.ini with sections of n entries named "<section> k".
    OptionList Options(const QList<QPair<QString, int>>& sections)
    {
        QFile file(QDir(dir_.path()).filePath(QStringLiteral("EConfig.ini")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const auto& [name, count] : sections) {
            file.write(QStringLiteral("[%1]\n").arg(name).toUtf8());
            for (int k = 0; k < count; ++k)
                file.write(QStringLiteral("%1 %2=%2\n").arg(name).arg(k).toUtf8());
        }
        file.close();
        OptionList options(dir_.path());
        options.SetFile(QStringLiteral("EConfig.ini"));
        return options;
    }

    // Chooses entry position of a list the way a keyboard user does, with
    // the arrow keys from the entry shown.
    static void Choose(QComboBox* list, int position)
    {
        list->setFocus();
        if (list->currentIndex() < 0)
            QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < list->count() && list->currentIndex() < position; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        for (int i = 0; i < list->count() && list->currentIndex() > position; ++i)
            QTest::keyClick(list, Qt::Key_Up);
        ASSERT_EQ(list->currentIndex(), position);
    }

    QStringList messages;

private:
    QTemporaryDir dir_;
};
