// The on-screen printout growing a line at a time, as a receipt prints: the
// panel as the register window draws it (each line added to what it shows),
// beside a panel that shows its whole text again for every line. Offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "screen/screen_model.h"
#include "ui/printout_panel.h"

namespace {

// A receipt's line: 40 columns, as the narrow paper has them.
std::string ReceiptLine(int n) {
    std::string line = "Product " + std::to_string(n);
    line.resize(31, ' ');
    line += "    12.34\r\n";
    return line;
}

// Appends `lines` lines to the panel one by one, its font fitted after each
// as the window does; the time is per printout.
void BM_PrintoutPanel_AppendLines(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        tarvo::ui::PrintoutPanel panel;
        panel.resize(500, 600);
        const QFont designed("Courier New", 10);
        std::string text;
        const std::vector<tarvo::TextSpan> none;
        for (int n = 0; n < lines; ++n) {
            text += ReceiptLine(n);
            panel.ShowText(text, none);
            panel.setFont(panel.FittingFont(designed));
        }
        QApplication::processEvents();
        benchmark::DoNotOptimize(panel.document()->blockCount());
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PrintoutPanel_AppendLines)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

// The same printout shown whole again for every line (what the window did).
void BM_PrintoutWholeText_AppendLines(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QPlainTextEdit panel;
        panel.resize(500, 600);
        QString text;
        for (int n = 0; n < lines; ++n) {
            text += QString::fromStdString(ReceiptLine(n)).replace("\r\n", "\n");
            panel.setPlainText(text);
        }
        QApplication::processEvents();
        benchmark::DoNotOptimize(panel.document()->blockCount());
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PrintoutWholeText_AppendLines)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
