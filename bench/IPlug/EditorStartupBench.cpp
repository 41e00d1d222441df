// What an editor adds to opening an instance: every instance builds its
// editor in its constructor, so this lands on every host's plug-in scan.
// The first instance of a process builds the wave tables and decodes the
// editor's images; later instances find both ready. The images are made at
// set-up in the sizes of the real panel: a 1096 x 395 background, knob
// strips of 65 frames, two-frame switches.

#include "IControl.h"
#include "IPlugAU.h"
#include "HostModel.h"
#include "LICE_IBitmap.h"
#include "LICE_PNG.h"
#include "TessarynEntry.h"
#include "TestGraphics.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

namespace
{
constexpr int kWidth = 1096;
constexpr int kHeight = 395;
constexpr int kKnobSize = 48;
constexpr int kKnobFrames = 65;
constexpr int kKnobStrips = 4;
constexpr int kControls = 100;

void writeImage(const std::string& path, int w, int h, int frames)
{
  LICE_IBitmap bitmap(w, h);
  cairo_t* cr = cairo_create(bitmap.GetSurface());
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, w, h);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.15, 0.15, 0.17);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.35, 0.33, 0.30);
  cairo_set_source(cr, shade);
  cairo_paint(cr);
  cairo_pattern_destroy(shade);
  const int frameH = h / frames;
  for (int f = 0; f < frames; ++f)
  {
    const double angle = -2.4 + 4.8 * f / std::max(frames - 1, 1);
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.85);
    cairo_arc(cr, w / 2.0, f * frameH + frameH / 2.0, std::min(w, frameH) * 0.4, 0, 6.2832);
    cairo_stroke(cr);
    cairo_move_to(cr, w / 2.0, f * frameH + frameH / 2.0);
    cairo_rel_line_to(cr, std::sin(angle) * frameH * 0.4, -std::cos(angle) * frameH * 0.4);
    cairo_stroke(cr);
  }
  cairo_destroy(cr);
  LICE_WritePNG(path.c_str(), &bitmap);
}

const std::string& imageFolder()
{
  static const std::string folder = [] {
    const auto dir = std::filesystem::temp_directory_path() / "tessaryn-editor-bench";
    std::filesystem::create_directories(dir);
    writeImage((dir / "background.png").string(), kWidth, kHeight, 1);
    for (int k = 0; k < kKnobStrips; ++k)
      writeImage((dir / ("knob" + std::to_string(k) + ".png")).string(), kKnobSize, kKnobSize * kKnobFrames,
                 kKnobFrames);
    writeImage((dir / "switch.png").string(), 30, 60, 2);
    return dir.string();
  }();
  return folder;
}

// Background plus kControls bitmap controls bound to the instrument's parameters.
void buildEditor(IPlugBase* plug)
{
  auto* gui = new TestGraphics(plug, kWidth, kHeight, 25, imageFolder());
  gui->AttachBackground(1, "background.png");
  for (int i = 0; i < kControls; ++i)
  {
    const bool knob = i % 3 != 2;
    const std::string name = knob ? "knob" + std::to_string(i % kKnobStrips) + ".png" : "switch.png";
    IBitmap bitmap = gui->LoadIBitmap(knob ? 10 + i % kKnobStrips : 20, name.c_str(), knob ? kKnobFrames : 2);
    gui->AttachControl(new IBitmapControl(plug, (i % 20) * 54, (i / 20) * 75, i % plug->NParams(), bitmap));
  }
  plug->AttachGraphics(gui);
}

void openInstance(benchmark::State& state)
{
  for (auto _ : state)
  {
    const auto start = std::chrono::steady_clock::now();
    HostModel host;
    host.Open(registerTessarynComponent(""));
    buildEditor(static_cast<IPlugAU*>(GetComponentInstanceStorage(host.Unit())));
    const auto built = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(built - start).count());
  }
}

// Runs first in the process, once: nothing is cached yet.
void BM_FirstInstanceWithEditor(benchmark::State& state)
{
  imageFolder();
  openInstance(state);
}
BENCHMARK(BM_FirstInstanceWithEditor)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LaterInstanceWithEditor(benchmark::State& state)
{
  openInstance(state);
}
BENCHMARK(BM_LaterInstanceWithEditor)->UseManualTime()->Unit(benchmark::kMillisecond);

// What an idle open editor costs per timer tick.
void BM_IdleDirtyCheck(benchmark::State& state)
{
  HostModel host;
  host.Open(registerTessarynComponent(""));
  auto* plug = static_cast<IPlugAU*>(GetComponentInstanceStorage(host.Unit()));
  buildEditor(plug);
  IGraphics* gui = plug->GetGUI();
  IRECT all(0, 0, kWidth, kHeight);
  gui->Draw(&all);
  gui->Draw(&all);
  for (auto _ : state)
  {
    IRECT dirty;
    benchmark::DoNotOptimize(gui->IsDirty(&dirty));
  }
}
BENCHMARK(BM_IdleDirtyCheck);

void BM_FullRedraw(benchmark::State& state)
{
  HostModel host;
  host.Open(registerTessarynComponent(""));
  auto* plug = static_cast<IPlugAU*>(GetComponentInstanceStorage(host.Unit()));
  buildEditor(plug);
  plug->GetGUI()->SetScale(double(state.range(0)));
  for (auto _ : state)
  {
    IRECT all(0, 0, kWidth, kHeight);
    plug->GetGUI()->Draw(&all);
  }
}
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
} // namespace
