// The model information dialog: choosing a band, the custom area that
// collapses and grows, its typing rules and the bookkeeping on OK.
#include <QLineEdit>
#include <memory>

#include "dialogs/CModelInfoDlg.h"
#include "dialogs/DialogEntry.h"
#include "DialogTestKit.h"
#include "image/ModelTable.h"
#include "ui/Profile.h"

namespace {

const QString kModelTypes = QStringLiteral("VHF:150-174MHz|VHF:136-150MHz|UHF:450-470MHz|UHF:350-370MHz|"
                                           "UHF:370-390MHz|UHF:400-420MHz|UHF:420-440MHz|UHF:476-478MHz|Custom Model|");

class ModelInfoTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        view.settings = &s;
        s.channels[0].rxFrequency = 450.0;
    }

    // The dialog on its own, as OnModelInformation prepares it.
    void Open(const QString& band, const QString& lowest = QStringLiteral("0.00000"),
              const QString& highest = QStringLiteral("0.00000"))
    {
        dialog = std::make_unique<CModelInfoDlg>(view);
        dialog->modelTypeText = kModelTypes;
        dialog->bandText = band;
        dialog->lowest = lowest;
        dialog->highest = highest;
        dialog->middle = QStringLiteral("0.00000");
        dialog->OnInitDialog();
        ShowActive(dialog.get());
    }
    template <class T = QWidget>
    T* Ctl(int id) { return ::Ctl<T>(dialog.get(), id); }

    // RunModelInfoDialog with the user's steps run inside its modal loop.
    bool Run(ModelState& model, std::function<void(CModelInfoDlg*)> steps)
    {
        OnModal<CModelInfoDlg>(steps);
        const OptionList options =
            OptionFile(QStringLiteral("[modeltype]\n") + QString(kModelTypes).replace(QLatin1Char('|'), QStringLiteral("=0\n")));
        return RunModelInfoDialog(nullptr, s, model, options, view);
    }

    RadioSettings s;
    FakeChannelView view;
    std::unique_ptr<CModelInfoDlg> dialog;
};

TEST_F(ModelInfoTest, ConfirmedModelClearsAndSetsTheModelFields)
{
    // The 476 MHz band: cleared, then the fixed plan.
    Profile::WriteInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 1);
    s.channels[44].rxFrequency = 455.0;
    ModelState model;
    EXPECT_TRUE(Run(model, [](CModelInfoDlg* d) {
        ChooseEntry(::Ctl<QComboBox>(d, 1053), 7);
        Press(d, 1);
    }));
    EXPECT_EQ(questions, QStringList({"All data will be cleared!"}));
    EXPECT_EQ(view.Count(1, 1), 1);
    EXPECT_DOUBLE_EQ(s.channels[0].rxFrequency, 476.425);
    EXPECT_DOUBLE_EQ(s.channels[44].rxFrequency, 0.0); // cleared; the plan leaves 41..50 alone
    EXPECT_STREQ(s.modelCode, "Q80109");
    EXPECT_EQ(model.bandText, "UHF:476-478MHz");
    EXPECT_EQ(Profile::GetInt(QStringLiteral("CHANNEL_DEFAULT"), QStringLiteral("ALLOWDEFAULT"), 1), 0);

    // The custom model: limits, band centre and code.
    s.Reset();
    s.channels[0].rxFrequency = 450.0;
    EXPECT_TRUE(Run(model, [](CModelInfoDlg* d) {
        ChooseEntry(::Ctl<QComboBox>(d, 1053), 8);
        Type(::Ctl(d, 1156), QStringLiteral("136"));
        Type(::Ctl(d, 1157), QStringLiteral("174"));
        Type(::Ctl(d, 1158), QStringLiteral("451"));
        QTest::mouseClick(::Ctl(d, 1159), Qt::LeftButton, {}, QPoint(6, 6));
        Press(d, 1);
    }));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_DOUBLE_EQ(s.lowerLimit, 136.0);
    EXPECT_DOUBLE_EQ(s.upperLimit, 174.0);
    EXPECT_DOUBLE_EQ(s.firstIf, 45.1);
    EXPECT_DOUBLE_EQ(s.bandCentre, 150.0);
    EXPECT_STREQ(s.modelCode, "Q80100");
    EXPECT_EQ(model.customModel, 1);
    EXPECT_EQ(model.band476, 0);
    // The reset values have the high local oscillator; the click cleared it.
    EXPECT_EQ(s.highLocalOscillator, 0u);
    EXPECT_DOUBLE_EQ(s.channels[0].rxFrequency, 0.0);
}

TEST_F(ModelInfoTest, RefusedEntryClearsNothingAndCancelKeepsTheChannels)
{
    Open(QStringLiteral("Custom Model"), QStringLiteral("136.10000"), QStringLiteral("136.90000"));
    QLineEdit* middle = Ctl<QLineEdit>(1158);
    Type(middle, QStringLiteral("205"));
    Press(dialog.get(), 1); // lowest and highest share the integer part 136
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Highest frequency must be larger")));

    answerYes = false; // No to the warning: nothing happens at all
    Press(dialog.get(), 1);
    EXPECT_EQ(messages.size(), 1);

    Press(dialog.get(), 2);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_DOUBLE_EQ(s.channels[0].rxFrequency, 450.0);
}

} // namespace
