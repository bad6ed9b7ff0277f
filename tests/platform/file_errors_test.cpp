// Every writer of the platform against a full disk and paths where no file can be made,
// the one file-writing helper behind them, and the suppress-paint guard.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <typeinfo>
#include <vector>

#include "disk_faults.h"
#include "platform/bitmap.h"
#include "platform/datatable.h"
#include "platform/filewrite.h"
#include "platform/paintguard.h"
#include "platform/printers.h"
#include "platform/svgcanvas.h"

namespace kvr {
namespace {

namespace fs = std::filesystem;

fs::path out_dir() {
  const char* env = std::getenv("KVR_TEST_OUT");
  fs::path dir = env && *env ? fs::path(env) : fs::temp_directory_path() / "kvr_test_out";
  dir /= "file_errors";
  fs::create_directories(dir);
  return dir;
}

std::string full_disk(const std::string& ext) { return test::full_disk(out_dir(), ext); }

bool have_dev_full() {
  std::error_code ec;
  return fs::exists("/dev/full", ec);
}

struct Writer {
  const char* name;
  const char* ext;
  std::function<void(const std::string&)> write;
};

std::vector<Writer> writers() {
  return {
      {"bitmap as PNG", ".png",
       [](const std::string& f) {
         TBitmap b;
         b.SetSize(3, 2);
         b.SaveToFile(f);
       }},
      {"bitmap as BMP", ".bmp",
       [](const std::string& f) {
         TBitmap b;
         b.SetSize(3, 2);
         b.SaveToFile(f);
       }},
      {"data table text", ".txt",
       [](const std::string& f) {
         TDataTable t(2, 2);
         t.SetElem(1, 1, 1.5);
         t.SetElem(2, 2, "text");
         t.ExportAsASC(f, 3);
       }},
      {"SVG canvas", ".svg",
       [](const std::string& f) {
         TMetafileCanvas c(20, 10);
         c.Rectangle(1, 1, 10, 8);
         c.SaveSvgToFile(f);
       }},
      {"SVG of a canvas", ".svg",
       [](const std::string& f) {
         auto c = CreateSvgCanvas(20, 10);
         SaveSvgToFile(*c, f);
       }},
  };
}

// Old behaviour: the bitmap and the table checked the stream before the last flush, so a
// full disk went unnoticed.
TEST(FileErrors, EveryWriterReportsAFullDiskAndPathsWithoutAFile) {
  ASSERT_TRUE(have_dev_full());
  for (const Writer& w : writers()) {
    SCOPED_TRACE(w.name);
    const std::string good = (out_dir() / (std::string("good") + w.ext)).string();
    w.write(good);
    EXPECT_GT(fs::file_size(good), 0u);

    const std::string full = full_disk(w.ext);
    try {
      w.write(full);
      ADD_FAILURE() << "a full disk was reported as success";
    } catch (const Exception& e) {
      EXPECT_EQ(typeid(e), typeid(Exception));
      EXPECT_EQ(std::string(e.what()),
                "Cannot write file \"" + full + "\": " + std::generic_category().message(ENOSPC));
    }

    const std::string missing = (out_dir() / "no-such-dir" / (std::string("x") + w.ext)).string();
    try {
      w.write(missing);
      ADD_FAILURE() << "a file in a missing folder was reported as written";
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing + "\": " +
                                           std::generic_category().message(ENOENT));
    }
    const std::string dir = test::folder_as_file(out_dir(), w.ext);
    EXPECT_THROW(w.write(dir), Exception);
    EXPECT_TRUE(fs::is_directory(dir));
  }
}

TEST(FileErrors, PrinterRaisesItsOwnErrorAndEndsTheDocument) {
  ASSERT_TRUE(have_dev_full());
  TPrinter& p = Printer();
  if (p.Printing()) p.Abort();
  const std::string saved_path = p.OutputPath();
  const std::string saved_last = p.LastFileName();
  for (const std::string& target :
       {full_disk(".pdf"), (out_dir() / "no-such-dir" / "x.pdf").string()}) {
    SCOPED_TRACE(target);
    p.SetOutputPath(target);
    p.BeginDoc();
    p.Canvas()->Rectangle(10, 10, 100, 100);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());
    EXPECT_EQ(p.LastFileName(), saved_last);
  }
  // The next document is written as usual.
  const fs::path good = out_dir() / "after_failure.pdf";
  p.SetOutputPath(good.string());
  p.BeginDoc();
  p.EndDoc();
  EXPECT_GT(fs::file_size(good), 100u);
  p.SetOutputPath(saved_path);
}

// The helper's own paths: blocks larger than its buffer, many small writes, a writer that
// throws, and the content arriving unchanged.
TEST(FileErrors, WriteFileKeepsEveryByteAndFailsOnlyWhenAByteWasLost) {
  const fs::path file = out_dir() / "mixed.bin";
  std::string expected;
  detail::write_file(file.string(), [&](std::ostream& out) {
    for (int i = 0; i < 100000; ++i) {
      const char c = char('a' + i % 26);
      out.put(c);
      expected += c;
    }
    const std::string big(300000, 'Z');
    out << big;
    expected += big;
    out << "tail";
    expected += "tail";
  });
  std::ifstream in(file, std::ios::binary);
  const std::string got((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(got, expected);

  detail::write_file(file.string(), std::string_view());
  EXPECT_EQ(fs::file_size(file), 0u);

  EXPECT_THROW(detail::write_file(file.string(), [](std::ostream&) { throw std::runtime_error("x"); }),
               std::runtime_error);

  // The error types are the caller's: one for creating, one for writing.
  struct ECreate : Exception {
    using Exception::Exception;
  };
  struct EWrite : Exception {
    using Exception::Exception;
  };
  EXPECT_THROW((detail::write_file<ECreate, EWrite>((out_dir() / "none" / "x").string(), "x")),
               ECreate);
  EXPECT_THROW((detail::write_file<ECreate, EWrite>(full_disk(".bin"), std::string(200000, 'x'))),
               EWrite);
  EXPECT_THROW((detail::write_file<ECreate, EWrite>(full_disk(".bin"), "x")), EWrite);
}

// A component's setter as the guard sees it: counts the repaints that resuming causes.
struct Component {
  bool FSuppressPaint = false;
  int repaints = 0;
  void SetSuppressPaint(bool v) {
    if (v == FSuppressPaint) return;
    FSuppressPaint = v;
    if (!v) ++repaints;
  }
};

TEST(PaintGuard, RestoresOnEveryExitAndRepaintsOnlyAsAsked) {
  Component c;
  {
    const auto hold = detail::suppress_paint(c.FSuppressPaint);
    EXPECT_TRUE(c.FSuppressPaint);
  }
  EXPECT_FALSE(c.FSuppressPaint);
  EXPECT_EQ(c.repaints, 0);

  {
    const auto hold = detail::suppress_paint_then_resume(c.FSuppressPaint, c);
    EXPECT_TRUE(c.FSuppressPaint);
  }
  EXPECT_FALSE(c.FSuppressPaint);
  EXPECT_EQ(c.repaints, 1);

  // Painting that was off before stays off, and resuming it is not a repaint.
  c.FSuppressPaint = true;
  { const auto hold = detail::suppress_paint_then_resume(c.FSuppressPaint, c); }
  EXPECT_TRUE(c.FSuppressPaint);
  EXPECT_EQ(c.repaints, 1);
  c.FSuppressPaint = false;

  // An exception restores the flag and paints nothing, whatever the variant.
  int actions = 0;
  const auto throw_in = [&](auto make) {
    try {
      const auto hold = make();
      throw std::runtime_error("half done");
    } catch (const std::runtime_error&) {
    }
  };
  throw_in([&] { return detail::suppress_paint(c.FSuppressPaint); });
  throw_in([&] { return detail::suppress_paint_then_resume(c.FSuppressPaint, c); });
  throw_in([&] { return detail::suppress_paint_then(c.FSuppressPaint, [&] { ++actions; }); });
  EXPECT_FALSE(c.FSuppressPaint);
  EXPECT_EQ(c.repaints, 1);
  EXPECT_EQ(actions, 0);

  { const auto hold = detail::suppress_paint_then(c.FSuppressPaint, [&] { ++actions; }); }
  EXPECT_EQ(actions, 1);

  // restore() ends the hold early, once.
  {
    auto hold = detail::suppress_paint_then_resume(c.FSuppressPaint, c);
    hold.restore();
    EXPECT_FALSE(c.FSuppressPaint);
    EXPECT_EQ(c.repaints, 2);
    hold.restore();
  }
  EXPECT_EQ(c.repaints, 2);

  // Holding the flag off (a forced paint) puts "suppressed" back.
  c.FSuppressPaint = true;
  throw_in([&] { return detail::hold_flag(c.FSuppressPaint, false); });
  EXPECT_TRUE(c.FSuppressPaint);
}

}  // namespace
}  // namespace kvr
