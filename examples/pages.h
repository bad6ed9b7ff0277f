// Gallery pages: each draws one picture onto a canvas of the given size.
#pragma once

#include "platform/canvas.h"

void RenderTestCard(kvr::TCanvas& c, int w, int h);
void RenderMarksPage(kvr::TCanvas& c, int w, int h);
void RenderScalesPage(kvr::TCanvas& c, int w, int h);
void RenderGaugesPage(kvr::TCanvas& c, int w, int h);
void RenderChartPage(kvr::TCanvas& c, int w, int h);
