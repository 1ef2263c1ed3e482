// The production line dialog against simulated radios on pseudo-terminals:
// what each port's row and the totals show, which radio gets which unit, a
// bad units file or document refused before any radio is touched, a radio of
// another model, ports that cannot be opened, and Stop and Close while
// radios are being programmed, with the window's thread never held up.
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QPushButton>
#include <QStringEncoder>

#include <chrono>
#include <set>

#include "../FifoGuard.h"
#include "../SimulatedRadios.h"
#include "DialogTestKit.h"
#include "dialogs/CProductionLineDlg.h"

namespace {

using namespace std::chrono_literals;
using State = ProductionLine::State;

class ProductionLineDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        golden.ResetSettings();
        ASSERT_EQ(golden.EncodeAll(), 0);
    }

    SimulatedRadio& AddRadio(const SimulatedRadioOptions& options = {})
    {
        radios.push_back(StartedRadio(ImageWithId("999"), options));
        return *radios.back();
    }

    // A dialog offering the radios (in order, all chosen) and no device of
    // this machine.
    std::unique_ptr<CProductionLineDlg> MakeDialog()
    {
        auto dialog = std::make_unique<CProductionLineDlg>();
        dialog->golden = &golden;
        dialog->encodeGolden = [this] {
            ++encodes;
            return encodeResult != 0 ? encodeResult : golden.EncodeAll();
        };
        dialog->findDevices = [] { return std::vector<SerialDevice>{}; };
        QStringList devices;
        for (std::size_t i = 0; i < radios.size(); ++i) {
            const QString device = QString::fromStdString(radios[i]->DevicePath());
            dialog->extraPorts.push_back({QStringLiteral("SIM%1").arg(i + 1), device, 0, QString(), true});
            devices << device;
        }
        dialog->archiveFolder = (folder.path() + QStringLiteral("/archive")).toStdString();
        dialog->probeInterval = 100ms;
        dialog->OnInitDialog();
        dialog->ChooseDevices(devices);
        dialog->show();
        return dialog;
    }

    QString WriteUnits(const char* text)
    {
        QFile file(folder.filePath("units.csv"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return file.fileName();
    }

    static bool Ended(const CProductionLineDlg& d, int ms = 30000)
    {
        return QTest::qWaitFor([&] { return !d.IsRunning(); }, ms);
    }

    CImportData golden;
    int encodes = 0;
    int encodeResult = 0;
    QTemporaryDir folder;
    std::vector<std::unique_ptr<SimulatedRadio>> radios;
};

// Two radios take the units in turn; a port that cannot be opened beside
// them is shown with the cause and the others run.
TEST_F(ProductionLineDialogTest, TwoRadiosTakeTheUnitsInTurnAndAPortThatCannotBeOpenedIsShown)
{
    SimulatedRadio& first = AddRadio();
    SimulatedRadio& second = AddRadio();
    // The messages go through the window's own GBK conversion.
    const QString units =
        WriteUnits("\xEF\xBB\xBFunit,idCode,message1\nA-1,101,\xE4\xBD\xA0\xE5\xA5\xBD\nA-2,102,Two\n");
    auto d = MakeDialog();
    const QString missing = folder.filePath(QStringLiteral("ttyGONE"));
    ASSERT_TRUE(d->AddPort(missing));
    d->UnitsEdit()->setText(units);
    d->VerifyBox()->setChecked(true);

    QTest::mouseClick(d->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(d->IsRunning());
    ASSERT_TRUE(Ended(*d));
    ASSERT_EQ(d->RowCount(), 3);
    EXPECT_EQ(encodes, 1);
    // Each radio holds the unit its row names, and the two units went to
    // different radios.
    std::set<std::string> ids;
    for (int row = 0; row < 2; ++row) {
        const RadioSettings held = HeldSettings(row == 0 ? first : second);
        const std::string id(GetText(held.idCode));
        ids.insert(id);
        const QString label = id == "101" ? "A-1" : "A-2";
        EXPECT_EQ(d->RowResult(row), "Unit " + label + ": OK, verified");
        EXPECT_EQ(d->RowResultOk(row), std::optional<bool>(true));
        const std::string_view message1 = GetText(held.message1);
        EXPECT_EQ(QByteArray(message1.data(), qsizetype(message1.size())),
                  label == "A-1" ? QStringEncoder("GBK").encode(QString::fromUtf8("你好")) : QByteArray("Two"));
    }
    EXPECT_EQ(ids, (std::set<std::string>{"101", "102"}));
    // The port that cannot be opened: the cause, as the window's port
    // message words it.
    EXPECT_EQ(d->LogLines().filter(QStringLiteral("could not be opened: %1: no such device.").arg(missing)).size(), 1);
    EXPECT_EQ(messages, QStringList());
    EXPECT_TRUE(QFile::exists(folder.filePath("archive/jobs.jsonl")));
}

// A bad units file, a FIFO named as one (which would hold the window until
// something wrote to it) and a document that cannot be converted: each is
// said at once and no radio is touched.
TEST_F(ProductionLineDialogTest, RefusalsComeBeforeAnyRadioIsTouched)
{
    SimulatedRadio& radio = AddRadio();
    auto d = MakeDialog();
    auto refused = [&](const char* what) {
        SCOPED_TRACE(what);
        messages.clear();
        d->StartButton()->click();
        EXPECT_FALSE(d->IsRunning());
        EXPECT_EQ(d->RowCount(), 0);
        EXPECT_TRUE(d->StartButton()->isEnabled());
        EXPECT_EQ(messages.size(), 1);
        return messages.value(0) + d->StatusText();
    };
    d->UnitsEdit()->setText(WriteUnits("unit,idCode,squelchLevel,message1\n"
                                       "A-1,101,3,ok\n"
                                       "A-2,102,abc,ok\n"
                                       "A-3,103,4,\xF0\x9F\x98\x80\n"));
    const QString faults = refused("units");
    EXPECT_TRUE(faults.contains("line 3, column squelchLevel")) << faults;
    // The window's GBK conversion refuses what the radio cannot show.
    EXPECT_TRUE(faults.contains("line 4, column message1")) << faults;
    EXPECT_TRUE(faults.contains("nothing was started")) << faults;

    const QString path = folder.filePath("units.csv");
    QFile::remove(path);
    FifoGuard fifo(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(fifo.Made());
    d->UnitsEdit()->setText(path);
    EXPECT_TRUE(refused("fifo").contains(path + " is a FIFO, not a regular file"));
    EXPECT_FALSE(fifo.HadToUnblock()) << "the dialog waited on the FIFO";
    EXPECT_TRUE(fifo.StillAFifo());

    d->UnitsEdit()->clear();
    encodeResult = 7;
    const int encodesBefore = encodes;
    d->StartButton()->click();
    EXPECT_FALSE(d->IsRunning());
    EXPECT_EQ(encodes, encodesBefore + 1);
    EXPECT_TRUE(d->StatusText().contains("could not be converted"));

    QTest::qWait(150);
    EXPECT_EQ(radio.GetStats().wakeUps, 0);
}

// A radio of another model fails red; Stop ends that run and lets the port
// go, and with overwrite chosen the next run writes the radio.
TEST_F(ProductionLineDialogTest, RadioOfAnotherModelFailsRedUnlessOverwriteIsChosen)
{
    SimulatedRadio& radio = AddRadio();
    std::string other(GetText(golden.GetSettings()->modelCode));
    ASSERT_FALSE(other.empty());
    other.back() = other.back() == '4' ? '5' : '4';
    radio.SetModelCode(other);
    const SimulatedRadio::Memory before = radio.GetMemory();

    auto d = MakeDialog();
    d->StartButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return d->RowCount() == 1 && d->RowResultOk(0).has_value(); }, 20000));
    EXPECT_EQ(d->RowResultOk(0), std::optional<bool>(false));
    EXPECT_EQ(d->RowResult(0), "Unit 1: FAILED");
    EXPECT_EQ(radio.GetStats().blocksWritten, 0);
    EXPECT_EQ(radio.GetMemory(), before);
    d->StopButton()->click();
    ASSERT_TRUE(Ended(*d, 5000));

    d->OverwriteBox()->setChecked(true);
    d->CountBox()->setValue(1);
    d->StartButton()->click();
    ASSERT_TRUE(Ended(*d));
    EXPECT_EQ(d->RowResultOk(0), std::optional<bool>(true));
    EXPECT_EQ(radio.GetStats().blocksWritten, int(ImageMap::kWritableSize / 8));
}

TEST_F(ProductionLineDialogTest, ClosingDuringAWriteWaitsForThatRadio)
{
    SimulatedRadio& radio = AddRadio({.answerDelayMs = 2});
    auto d = MakeDialog();
    d->StartButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return d->RowCount() == 1 && d->RowState(0) == CProductionLineDlg::StateText(State::Writing); }, 20000));
    EXPECT_FALSE(d->close()); // refused for now
    EXPECT_TRUE(d->IsStopping());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }, 20000));
    // The write under way went to its end; nothing more was started.
    EXPECT_FALSE(d->IsRunning());
    EXPECT_EQ(d->Totals().programmed, 1);
    EXPECT_EQ(radio.GetStats().blocksWritten, int(ImageMap::kWritableSize / 8));
}

} // namespace
