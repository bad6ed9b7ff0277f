// The chart's writers against a full disk and paths where no file can be made, and the
// chart's painting after an exception left a section where painting was held off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "disk_faults.h"
#include "platform/printers.h"
#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;
namespace fs = std::filesystem;

namespace {

fs::path out_dir() {
  const char* env = std::getenv("KVR_TEST_OUT");
  fs::path dir = fs::path(env && *env ? env : "test_out") / "file_errors";
  fs::create_directories(dir);
  return dir;
}

std::string full_disk(const std::string& ext) { return kvr::test::full_disk(out_dir(), ext); }

struct Writer {
  const char* name;
  const char* ext;
  std::function<void(RenderChart&, const std::string&)> write;
  // Checks the error type of a failure to create (true) or to write (false).
  std::function<void(const std::function<void()>&, bool)> expect_error;
};

template <class Create, class Write>
void expect_types(const std::function<void()>& f, bool creating) {
  if (creating)
    EXPECT_THROW(f(), Create);
  else
    EXPECT_THROW(f(), Write);
}

// Each case fills the chart a little so that the file has some content.
std::vector<Writer> writers() {
  return {
      {"data file", ".dat", [](RenderChart& c, const std::string& f) { c.SaveData(f); },
       expect_types<EFCreateError, EInOutError>},
      {"annotation file", ".ann", [](RenderChart& c, const std::string& f) { c.SaveAnno(f); },
       expect_types<EFCreateError, EInOutError>},
      {"text listing", ".txt", [](RenderChart& c, const std::string& f) { c.SaveDataASC(f); },
       expect_types<EInOutError, EInOutError>},
      {"picture", ".png", [](RenderChart& c, const std::string& f) { c.CopyToBMP(f, false); },
       expect_types<Exception, Exception>},
      {"SVG", ".svg", [](RenderChart& c, const std::string& f) { c.CopyToWMF(f, false); },
       expect_types<Exception, Exception>},
      {"PDF", ".pdf", [](RenderChart& c, const std::string& f) { c.CopyToPDF(f, false); },
       expect_types<Exception, Exception>},
      {"print", ".pdf",
       [](RenderChart& c, const std::string& f) {
         Printer().SetOutputPath(f);
         c.PrintIt(1.0, false);
       },
       expect_types<EPrinter, EPrinter>},
  };
}

TEST(ZuFileErrors, EveryWriterReportsAFullDiskAndPathsWithoutAFile) {
  if (Printer().Printing()) Printer().Abort();
  const std::string saved_output = Printer().OutputPath();
  RenderChart c;
  c.SetDataColor(0x0000FF);
  for (int i = 0; i < 50; ++i) c.Rectangle(i, i, i + 10.0, i + 20.0);
  c.ShowGraf();
  for (const Writer& w : writers()) {
    SCOPED_TRACE(w.name);
    const fs::path good = out_dir() / (std::string("good") + w.ext);
    w.write(c, good.string());
    EXPECT_GT(fs::file_size(good), 0u);
    const std::string full = full_disk(w.ext);
    w.expect_error([&] { w.write(c, full); }, false);
    w.expect_error([&] { w.write(c, (out_dir() / "no-such-dir" / "x").string() + w.ext); },
                   true);
    // The printer takes an existing folder as the place for its document.
    if (std::string(w.name) != "print") {
      const std::string dir = kvr::test::folder_as_file(out_dir(), w.ext);
      w.expect_error([&] { w.write(c, dir); }, true);
    }
    EXPECT_FALSE(Printer().Printing());
    // The chart is unharmed: the same file is written again.
    w.write(c, good.string());
  }
  Printer().SetOutputPath(saved_output);
}

// An event handler that throws inside a section where the chart holds its painting off
// used to leave the chart suppressed for good.
TEST(ZuPaintHold, AThrowingEventLeavesTheChartPainting) {
  RenderChart c;
  ASSERT_FALSE(c.SuppressPaint());
  for (TMouseActMode mode : {maZoomWind, maRubberBand, maSelectRect}) {
    SCOPED_TRACE(int(mode));
    c.SetMouseAction(mode);
    c.OnZoomPan = [](TObject*) { throw std::runtime_error("handler"); };
    c.OnRubberBand = [](TObject*, Integer, double, double, double, double) {
      throw std::runtime_error("handler");
    };
    c.OnSelectRect = c.OnRubberBand;
    c.HostMouseDown(mbLeft, {}, 100, 200);
    c.HostMouseMove(TShiftState{ssLeft}, 100, 200);
    c.HostMouseMove(TShiftState{ssLeft}, 200, 100);
    EXPECT_THROW(c.HostMouseUp(mbLeft, {}, 200, 100), std::runtime_error);
    EXPECT_FALSE(c.SuppressPaint());
  }
  // The chart still paints: a new rectangle shows.
  c.OnZoomPan = nullptr;
  c.SetRange(1, 0, 0, 340, 252);
  c.SetDataColor(0x0000FF);
  c.SetFillColor(0x0000FF);
  c.Rectangle(100.0, 100.0, 140.0, 140.0);
  c.ShowGraf();
  EXPECT_EQ(c.Ctl(170, 148), TColor(0x0000FF));
}

}  // namespace
