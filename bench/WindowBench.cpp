// Clicks through the real windows, shown on the offscreen platform: the button is clicked, its
// handler reads the fields, calculates and writes its labels. Each click alternates between two
// inputs, so every label really changes. Painting the new labels is left to the event loop,
// outside the timing.
//
// Two ways of clicking: QAbstractButton::click() runs the handler as a click does (pressed,
// released, clicked) without the mouse; a mouse click (press and release events, as the user's)
// also repaints the button at once on the press and again on the release, which Qt does
// synchronously, with the group box behind it: that is measured on its own row.
#include "BenchTable.h"
#include "BrKalkuljtor.h"
#include "BrZerno.h"
#include "MessageBoxes.h"
#include "Settings.h"
#include "TForm1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <memory>
#include <stdexcept>

namespace {

struct BenchWindows {
    RecordingMessageBoxes boxes; // a box would block a benchmark; it is recorded and reported
    QTemporaryDir settingsA;
    QTemporaryDir settingsB;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm5> form5;
};

std::unique_ptr<BenchWindows> g_windows;

void writeSettings(const QTemporaryDir& directory, const QByteArray& content)
{
    QFile file(directory.filePath(QStringLiteral("example.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write the bench settings file");
}

BenchWindows& windows()
{
    if (g_windows)
        return *g_windows;
    g_windows = std::make_unique<BenchWindows>();
    BenchWindows& w = *g_windows;
    writeSettings(w.settingsA, "[Options]\r\nkolvo1=4\r\nkolvo2=20\r\nkolvo3=100\r\nkolvo4=1.5\r\nkolvo5=2\r\n"
                               "[Options_1]\r\nV_kub=40\r\nV_vod=4\r\nS_dr=2.74\r\nP_dr=15\r\n");
    writeSettings(w.settingsB, "[Options]\r\nkolvo1=5\r\nkolvo2=25\r\nkolvo3=120\r\nkolvo4=2\r\nkolvo5=3\r\n"
                               "[Options_1]\r\nV_kub=50\r\nV_vod=5\r\nS_dr=3.1\r\nP_dr=12\r\n");
    SetSettingsDirectory(w.settingsA.path());
    w.form1 = std::make_unique<TForm1>();
    w.form2 = std::make_unique<TForm2>();
    w.form5 = std::make_unique<TForm5>();
    for (QWidget* window : std::initializer_list<QWidget*>{w.form1.get(), w.form2.get(), w.form5.get()}) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            throw std::runtime_error("a bench window was never exposed");
    }
    QCoreApplication::processEvents();
    return w;
}

// fields[i][k]: the text of field k for input i (two inputs, alternating).
template <std::size_t N>
struct Inputs {
    std::array<const char*, N> names;
    std::array<std::array<const char*, N>, 2> texts;
};

enum class Press { Handler, Mouse };

template <std::size_t N>
void clickThrough(benchmark::State& state, QWidget* window, const char* buttonName, const Inputs<N>& inputs,
                  bool alternateSettings = false, Press press = Press::Handler)
{
    BenchWindows& w = windows();
    auto* button = window->findChild<QPushButton*>(QLatin1String(buttonName));
    std::array<QLineEdit*, N> fields{};
    for (std::size_t k = 0; k < N; ++k)
        fields[k] = window->findChild<QLineEdit*>(QLatin1String(inputs.names[k]));
    w.boxes.clear();
    int which = 0;
    for (auto _ : state) {
        state.PauseTiming();
        which ^= 1;
        for (std::size_t k = 0; k < N; ++k)
            fields[k]->setText(QString::fromUtf8(inputs.texts[which][k]));
        if (alternateSettings)
            SetSettingsDirectory((which != 0 ? w.settingsB : w.settingsA).path());
        QCoreApplication::processEvents(); // the last click's repaint, untimed
        state.ResumeTiming();
        if (press == Press::Mouse)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            button->click();
    }
    SetSettingsDirectory(w.settingsA.path());
    if (!w.boxes.boxes.isEmpty())
        state.SkipWithError(("a message box appeared: " + w.boxes.boxes.first().text.toStdString()).c_str());
}

void DilutionClick_(benchmark::State& state)
{
    clickThrough<3>(state, windows().form1.get(), "Button4",
                    {{"Edit4", "Edit5", "Edit6"}, {{{"1000", "70", "40"}, {"500", "96", "38.2"}}}});
}

void DilutionMouseClick_(benchmark::State& state)
{
    clickThrough<3>(state, windows().form1.get(), "Button4",
                    {{"Edit4", "Edit5", "Edit6"}, {{{"1000", "70", "40"}, {"500", "96", "38.2"}}}}, false,
                    Press::Mouse);
}

void RawSpiritCutClick_(benchmark::State& state)
{
    clickThrough<2>(state, windows().form1.get(), "Button1", {{"Edit1", "Edit2"}, {{{"10", "40"}, {"12.5", "45.5"}}}});
}

void MashHeadsClick_(benchmark::State& state)
{
    clickThrough<1>(state, windows().form1.get(), "Button3", {{"Edit3"}, {{{"3"}, {"12.345"}}}});
}

void MixStrengthClick_(benchmark::State& state)
{
    clickThrough<4>(state, windows().form1.get(), "Button5",
                    {{"Edit7", "Edit8", "Edit9", "Edit10"}, {{{"1", "96", "2", "40"}, {"3", "40", "1", "0.5"}}}});
}

void SpiritAndWaterClick_(benchmark::State& state)
{
    clickThrough<3>(state, windows().form1.get(), "Button7",
                    {{"Edit12", "Edit11", "Edit14"}, {{{"96", "40", "1000"}, {"70", "45", "500"}}}});
}

void SugarMashClick_(benchmark::State& state)
{
    clickThrough<1>(state, windows().form2.get(), "Button3", {{"Edit1"}, {{{"1000"}, {"5000"}}}}, true);
}

void GrainMashClick_(benchmark::State& state)
{
    // No fields of its own: the two settings files make the inputs.
    clickThrough<0>(state, windows().form5.get(), "Button1", {{}, {{{}, {}}}}, true);
}

} // namespace

void ReleaseBenchWindows()
{
    g_windows.reset();
}

BENCHMARK(DilutionClick_);
BENCHMARK(DilutionMouseClick_);
BENCHMARK(RawSpiritCutClick_);
BENCHMARK(MashHeadsClick_);
BENCHMARK(MixStrengthClick_);
BENCHMARK(SpiritAndWaterClick_);
BENCHMARK(SugarMashClick_);
BENCHMARK(GrainMashClick_);
