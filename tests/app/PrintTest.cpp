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

// The PDF in each language on its own paper: the channels, then the
// settings, with header and page numbers, every word inside the printable
// area (the page less 12 mm, the smallest margin, all round, less a little).
TEST_F(PrintTest, ThePdfHasTheChannelsThenTheSettingsInsideTheMarginsOfA4AndLetter)
{
    const QString file = ProgrammedFile();
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const struct {
        int language;
        QLocale locale;
        const char* paper;
        std::vector<const char*> one, two; // on page 1, on page 2
    } runs[] = {
        {0, QLocale(QLocale::English, QLocale::UnitedStates), "letter",
         {"plan.dat", "ZEMTRA800", "Model: Q80103 (HX8100L1)", "Band: UHF:450-470MHz", "450.01250", "451.01250",
          "D023N", "452.01250", "Low", "Page 1 of 2", "Printed "},
         {"plan.dat", "Radio-wide settings", "DTMF - Encode", "12345", "HELLO 73", "Page 2 of 2"}},
        {1, QLocale(QLocale::English, QLocale::UnitedKingdom), "A4",
         {"机型: Q80103 (HX8100L1)", "低功率", "第 1 页,共 2 页", "打印日期"}, {"第 2 页,共 2 页"}},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.paper);
        SetLanguageFlag(r.language);
        Profile::WriteInt("CHANNEL_DEFAULT", "LANGUAGE", r.language);
        QLocale::setDefault(r.locale);
        RunningApp run({file});
        const QString pdf = Export(run, r.paper);
        EXPECT_TRUE(RunTool("pdfinfo", {pdf}).contains(QStringLiteral("(%1)").arg(r.paper)));
        ASSERT_EQ(PageCount(pdf), 2);
        const QString one = PageText(pdf, 1), two = PageText(pdf, 2);
        for (const char* text : r.one)
            EXPECT_TRUE(one.contains(QString::fromUtf8(text))) << text << "\n" << one;
        for (const char* text : r.two)
            EXPECT_TRUE(two.contains(QString::fromUtf8(text))) << text << "\n" << two;
        EXPECT_TRUE(one.contains(today)) << one;
        // Every channel has its row, a blank one only its number; the
        // settings on a page of their own.
        EXPECT_TRUE(QRegularExpression("\\n\\s*49\\s*\\n").match(one).hasMatch()) << one;
        EXPECT_TRUE(QRegularExpression("\\n\\s*50\\s+452\\.01250").match(one).hasMatch()) << one;
        EXPECT_FALSE(two.contains("450.01250"));
        EXPECT_FALSE(one.contains(r.language ? "Tx Power" : "Radio-wide settings"));
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(r.language ? "省电\\s+开" : "Battery Save\\s+On")).match(two).hasMatch())
            << two;

        const QString wordBoxes = RunTool("pdftotext", {"-bbox", pdf, "-"});
        const QRegularExpressionMatch page =
            QRegularExpression("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\"").match(wordBoxes);
        ASSERT_TRUE(page.hasMatch());
        const double width = page.captured(1).toDouble(), height = page.captured(2).toDouble(), margin = 30.0;
        int words = 0;
        QRegularExpression word("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<");
        for (auto it = word.globalMatch(wordBoxes); it.hasNext(); ++words) {
            const QRegularExpressionMatch m = it.next();
            const bool inside = m.captured(1).toDouble() >= margin && m.captured(2).toDouble() >= margin
                && m.captured(3).toDouble() <= width - margin && m.captured(4).toDouble() <= height - margin;
            EXPECT_TRUE(inside) << m.captured(0);
        }
        EXPECT_GT(words, 200);
    }
}
