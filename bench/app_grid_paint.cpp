// One full paint of the channel grid with all 50 channels programmed,
// rendered into an image: the grid alone, and with its 20 buttons.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include "app/CMainFrame.h"
#include "app/CZEMTRA800App.h"
#include "app/CZEMTRA800Doc.h"
#include "app/CZEMTRA800View.h"
#include "ui/Language.h"
#include "image/RadioSettings.h"

namespace {
CZEMTRA800App* g_app = nullptr;

void Program(RadioSettings& s)
{
    for (int i = 0; i < RadioSettings::kChannels; ++i) {
        ChannelRecord& ch = s.channels[i];
        ch.rxFrequency = 450.0125 + 0.025 * i;
        ch.txFrequency = i % 3 ? ch.rxFrequency : 0.0;
        SetText(ch.rxCode, i % 2 ? "67.0" : "D023N");
        ch.highPower = i % 2;
        ch.wideNarrow = i % 4 != 0;
        ch.scanAdd = i % 5 != 0;
        ch.optionalSignalling = i % 6 != 0;
    }
}

void Paint(benchmark::State& state, QWidget::RenderFlags flags)
{
    CZEMTRA800View* view = g_app->View();
    SetLanguageFlag(static_cast<int>(state.range(0)));
    QImage image(view->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view->render(&image, QPoint(), QRegion(), flags);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(state.range(0) ? "Chinese" : "English");
}

void BM_GridPaint(benchmark::State& state) { Paint(state, QWidget::DrawWindowBackground); }
void BM_GridPaintWithButtons(benchmark::State& state)
{
    Paint(state, QWidget::DrawWindowBackground | QWidget::DrawChildren);
}
BENCHMARK(BM_GridPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridPaintWithButtons)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir profile;
    qputenv("XDG_CONFIG_HOME", profile.path().toUtf8());
    QApplication application(argc, argv);
    CZEMTRA800App app;
    if (!app.InitInstance({"zemtra800", "--no-splash"}))
        return 1;
    g_app = &app;
    Program(*app.Document()->Settings());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
