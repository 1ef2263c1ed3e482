// The printout, checked through its PDF: pages, texts in both languages,
// and every word inside the printable area of A4 and Letter paper.
#include <QDate>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>

#include "AppTestKit.h"
#include "app/ChannelTableCommands.h"
#include "image/ChannelRules.h"

using namespace apptest;
namespace {

// A poppler tool's output; fails the test when the tool cannot run.
QString RunTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    const bool ran = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    EXPECT_TRUE(ran) << tool << " (poppler-utils) failed: " << process.errorString()
                     << QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PageText(const QString& pdf, int page)
{
    return RunTool("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

int PageCount(const QString& pdf)
{
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(RunTool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintTest : public AppTest {
protected:
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        AppTest::TearDown();
    }
    // A programmed file: channels 1, 2 and 50, a message, an autodial code.
    QString ProgrammedFile(const char* model = "Q80103", double rx = 450.0125)
    {
        CImportData data;
        Program(data, model, rx);
        RadioSettings& s = *data.GetSettings();
        s.channels[1].rxFrequency = rx + 1.0;
        s.channels[1].txFrequency = 0.0;
        SetText(s.channels[1].rxCode, "D023N");
        s.channels[1].highPower = 0;
        s.channels[49].rxFrequency = s.channels[49].txFrequency = rx + 2.0;
        for (ChannelRecord& c : s.channels)
            if (ChannelInUse(c))
                MarkInUse(c);
        SetText(s.message1, "HELLO 73");
        SetText(s.autodial[0], "12345");
        s.batterySave = 1;
        data.EncodeAll();
        const QString path = dir.filePath("plan.dat");
        EXPECT_TRUE(data.SaveFile(QFile::encodeName(path).toStdString()));
        return path;
    }
    // Exports the running program's document; the PDF's path.
    QString Export(RunningApp& run, const QString& name)
    {
        boxes.nextFileName = dir.filePath(name);
        run.trigger(ChannelTableCommands::ID_EXPORT_PDF);
        EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.messages.join('\n');
        return boxes.nextFileName + ".pdf";
    }
    QTemporaryDir dir;
};
} // namespace

TEST_F(PrintTest, ThePdfHasTheChannelsThenTheSettingsWithHeaderAndPageNumbers)
{
    StartInEnglish();
    RunningApp run({ProgrammedFile()});
    const QString pdf = Export(run, "printout");
    ASSERT_EQ(PageCount(pdf), 2);
    const QString today = QDate::currentDate().toString(Qt::ISODate);

    const QString one = PageText(pdf, 1);
    for (const char* text : {"plan.dat", "ZEMTRA800", "Model: Q80103 (HX8100L1)", "Band: UHF:450-470MHz",
                             "450.01250", "451.01250", "D023N", "452.01250", "Low", "Page 1 of 2"})
        EXPECT_TRUE(one.contains(QString::fromUtf8(text))) << text << "\n" << one;
    EXPECT_TRUE(one.contains("Printed " + today)) << one;
    // Every channel has its row, a blank one only its number.
    EXPECT_TRUE(QRegularExpression("\\n\\s*49\\s*\\n").match(one).hasMatch()) << one;
    EXPECT_TRUE(QRegularExpression("\\n\\s*50\\s+452\\.01250").match(one).hasMatch()) << one;
    EXPECT_FALSE(one.contains("Radio-wide settings"));

    const QString two = PageText(pdf, 2);
    for (const char* text : {"plan.dat", "Radio-wide settings", "DTMF - Encode", "12345", "HELLO 73", "Page 2 of 2"})
        EXPECT_TRUE(two.contains(QString::fromUtf8(text))) << text << "\n" << two;
    EXPECT_TRUE(QRegularExpression("Battery Save\\s+On").match(two).hasMatch()) << two;
    EXPECT_FALSE(two.contains("450.01250"));
}

// Both papers in both languages: every word inside the printable area, and
// the Chinese printout in Chinese.
TEST_F(PrintTest, A4AndLetterKeepEveryWordInsideTheMargins)
{
    const QString file = ProgrammedFile();
    for (int language : {0, 1}) {
        for (const auto& [locale, paper] : {std::pair{QLocale(QLocale::English, QLocale::UnitedStates), "letter"},
                                            std::pair{QLocale(QLocale::English, QLocale::UnitedKingdom), "A4"}}) {
            SetLanguageFlag(language);
            Profile::WriteInt("CHANNEL_DEFAULT", "LANGUAGE", language);
            QLocale::setDefault(locale);
            RunningApp run({file});
            const QString pdf = Export(run, QStringLiteral("%1-%2").arg(paper).arg(language));
            const QString info = RunTool("pdfinfo", {pdf});
            EXPECT_TRUE(info.contains(QStringLiteral("(%1)").arg(paper))) << info;
            EXPECT_EQ(PageCount(pdf), 2) << paper;

            // The words' boxes, in points, against the page less 12 mm
            // (the smallest margin, 34 points) all round, less a little.
            const QString wordBoxes = RunTool("pdftotext", {"-bbox", pdf, "-"});
            const QRegularExpressionMatch page =
                QRegularExpression("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"").match(wordBoxes);
            ASSERT_TRUE(page.hasMatch());
            const double width = page.captured(1).toDouble();
            const double height = page.captured(2).toDouble();
            const double margin = 30.0;
            int words = 0;
            QRegularExpression word("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<");
            for (auto it = word.globalMatch(wordBoxes); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                ++words;
                EXPECT_GE(m.captured(1).toDouble(), margin) << m.captured(5) << " " << paper;
                EXPECT_GE(m.captured(2).toDouble(), margin) << m.captured(5) << " " << paper;
                EXPECT_LE(m.captured(3).toDouble(), width - margin) << m.captured(5) << " " << paper;
                EXPECT_LE(m.captured(4).toDouble(), height - margin) << m.captured(5) << " " << paper;
            }
            EXPECT_GT(words, 200) << paper;

            if (language == 1) {
                const QString one = PageText(pdf, 1);
                for (const char* text : {"机型: Q80103 (HX8100L1)", "低功率", "第 1 页,共 2 页", "打印日期"})
                    EXPECT_TRUE(one.contains(QString::fromUtf8(text))) << text << "\n" << one;
                EXPECT_FALSE(one.contains("Tx Power"));
                const QString two = PageText(pdf, 2);
                EXPECT_TRUE(two.contains(QString::fromUtf8("第 2 页,共 2 页"))) << two;
                EXPECT_TRUE(QRegularExpression(QString::fromUtf8("省电\\s+开")).match(two).hasMatch()) << two;
            }
        }
    }
}

TEST_F(PrintTest, TheFixedPlanModelHasNoDtmfPagesAndAFailedExportSaysSo)
{
    StartInEnglish();
    RunningApp run({ProgrammedFile("Q80109", 476.425)});
    const QString pdf = Export(run, "fixed");
    const QString two = PageText(pdf, PageCount(pdf));
    EXPECT_TRUE(two.contains("Optional Feature")) << two;
    EXPECT_FALSE(two.contains("DTMF - Encode")) << two;

    boxes.nextFileName = dir.filePath("no-such-folder/out.pdf");
    run.trigger(ChannelTableCommands::ID_EXPORT_PDF);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].startsWith("Could not write ")) << boxes.messages[0];
    EXPECT_FALSE(QFile::exists(boxes.nextFileName));
}
