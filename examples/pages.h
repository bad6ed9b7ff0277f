// Gallery pages: each draws one picture onto a canvas of the given size.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/canvas.h"

// A section title in the gallery's heading style (bold, dark blue, no background).
inline void PageHeading(kvr::TCanvas& c, int x, int y, const std::string& s) {
  c.Font()->SetName("DejaVu Sans");
  c.Font()->SetSize(11);
  c.Font()->SetStyle(kvr::TFontStyles{kvr::fsBold});
  c.Font()->SetColor(0x503010);
  c.Brush()->SetStyle(kvr::bsClear);
  c.TextOut(x, y, s);
}

// The small grey caption above a panel.
inline void PanelLabel(kvr::TCanvas& c, int x, int y, const std::string& s) {
  c.Font()->SetName("DejaVu Sans");
  c.Font()->SetSize(8);
  c.Font()->SetStyle(kvr::TFontStyles{});
  c.Font()->SetColor(0x404040);
  c.Brush()->SetStyle(kvr::bsClear);
  c.TextOut(x, y, s);
}

void RenderTestCard(kvr::TCanvas& c, int w, int h);
void RenderMarksPage(kvr::TCanvas& c, int w, int h);
void RenderScalesPage(kvr::TCanvas& c, int w, int h);
void RenderGaugesPage(kvr::TCanvas& c, int w, int h);
void RenderChartPage(kvr::TCanvas& c, int w, int h);
void RenderOutputPage(kvr::TCanvas& c, int w, int h);
void RenderSmithPage(kvr::TCanvas& c, int w, int h);
void RenderBoxPlotPage(kvr::TCanvas& c, int w, int h);
void RenderContourPage(kvr::TCanvas& c, int w, int h);
void RenderSurfacePage(kvr::TCanvas& c, int w, int h);
void RenderRot3DPage(kvr::TCanvas& c, int w, int h);
void RenderQualityPage(kvr::TCanvas& c, int w, int h);
void RenderBigDataPage(kvr::TCanvas& c, int w, int h);

// Files a page writes itself into the gallery folder, linked from the index.
struct OutputFile {
  std::string file;
  std::string title;
};
std::vector<OutputFile> WriteOutputFiles(const std::filesystem::path& dir);
