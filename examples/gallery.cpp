// The gallery: renders every finished component into gallery_out/ as PNG and SVG,
// and an index.html that shows them.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "examples/pages.h"
#include "platform/bitmap.h"
#include "platform/svgcanvas.h"

namespace {

struct Page {
  std::string file;
  std::string title;
  void (*render)(kvr::TCanvas&, int, int);
  int width;
  int height;
};

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir = argc > 1 ? argv[1] : "gallery_out";
  std::filesystem::create_directories(dir);
  const std::vector<Page> pages = {
      {"testcard", "Drawing surface test card", RenderTestCard, 920, 684},
      {"scales", "Scales", RenderScalesPage, 1250, 2050},
      {"marks", "Data marks and frame styles", RenderMarksPage, 920, 760},
      {"gauges", "Colour scales and scale gauges", RenderGaugesPage, 1250, 1600},
      {"chart", "2-D charts", RenderChartPage, 1260, 980},
      {"output", "Chart output: bitmap in colour and black and white, printed page", RenderOutputPage,
       1260, 1080},
      {"smith", "Smith chart", RenderSmithPage, 1260, 1260},
      {"boxplot", "Box plots", RenderBoxPlotPage, 1260, 1240},
      {"contour", "Contour plots", RenderContourPage, 1280, 1060},
      {"surface", "Surface plots", RenderSurfacePage, 1265, 1075},
      {"rot3d", "3-D items", RenderRot3DPage, 1265, 800},
      {"bigdata", "Large data: ten million points, a million marks, a rolling window", RenderBigDataPage,
       1260, 960},
      {"quality", "Picture quality: classic and smooth drawing, 1x and 2x, 8x, PDF, multilingual labels", RenderQualityPage, 1260, 1740},
  };
  std::ofstream html(dir / "index.html");
  html << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Chart component gallery</title>"
          "<style>body{font-family:sans-serif;background:#eee;margin:2em}figure{background:#fff;"
          "padding:1em;margin:0 0 2em 0;display:inline-block;box-shadow:0 1px 4px #aaa}</style>"
          "</head><body><h1>Chart component gallery</h1>\n";
  for (const Page& p : pages) {
    kvr::TBitmap bmp(p.width, p.height);
    p.render(*bmp.Canvas(), p.width, p.height);
    const std::string png = p.file + ".png";
    bmp.SaveToFile((dir / png).string());
    // The same page drawn again as vectors.
    kvr::TMetafileCanvas svg(p.width, p.height);
    p.render(svg, p.width, p.height);
    const std::string svg_name = p.file + ".svg";
    svg.SaveSvgToFile((dir / svg_name).string());
    html << "<figure><figcaption><h2>" << p.title << "</h2><a href=\"" << svg_name
         << "\">vector version (SVG)</a></figcaption><img src=\"" << png << "\" alt=\"" << p.title
         << "\"></figure>\n";
    std::cout << "wrote " << (dir / png).string() << "\n";
  }
  html << "<figure><figcaption><h2>The chart's own vector and printer output</h2></figcaption><ul>\n";
  for (const OutputFile& f : WriteOutputFiles(dir)) {
    html << "<li><a href=\"" << f.file << "\">" << f.title << "</a></li>\n";
    std::cout << "wrote " << (dir / f.file).string() << "\n";
  }
  html << "</ul></figure>\n</body></html>\n";
  return 0;
}
