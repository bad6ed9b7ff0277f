// The process-wide services used from several threads at once: the cursor registry,
// the clipboard, the component palette, message dialogs, the style and the random source.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <memory>
#include <string>
#include <vector>

#include "platform/clipbrd.h"
#include "platform/control.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/math1.h"
#include "platform/registry.h"
#include "platform/themes.h"
#include "thread_util.h"
#include "zuvado/zuvado.h"

namespace kvr {
namespace {

// Every chart registers the library's cursors as it is built; lookups run meanwhile.
TEST(ThreadsServices, CursorRegistryTakesChartsAndLookupsFromEveryThread) {
  std::vector<int> bad(kThreads, 0);
  test::run_together(kThreads, [&](int t) {
    const Integer own = 5000 + t;
    for (int i = 0; i < 30; ++i) {
      if (i % 10 == 0) TZUvado chart(nullptr);
      auto mine = std::make_shared<TCursorImage>();
      mine->Name = std::to_string(t) + "/" + std::to_string(i);
      Screen().SetCursors(own, mine);
      if (Screen().Cursors(own) != mine) ++bad[size_t(t)];
      // Indexes 1..4 hold the built-in images whichever thread stored them last.
      for (Integer k = 1; k <= 4; ++k) {
        const HCURSOR c = Screen().Cursors(k);
        if (!c || !c->HasImage() || c->Name.rfind("CUR", 0) != 0) ++bad[size_t(t)];
      }
      if (Screen().Cursors(crHourGlass)->Standard != crHourGlass) ++bad[size_t(t)];
      Screen().SetCursor(t % 2 ? crHourGlass : crDefault);
    }
    Screen().SetCursors(own, nullptr);
  });
  Screen().SetCursor(crDefault);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(bad[size_t(t)], 0) << "thread " << t;
  EXPECT_EQ(Screen().Cursors(5000)->Standard, crDefault);  // removed again
}

// The use rule: a thread that sets and then reads back holds the clipboard open; plain
// calls are atomic, so a reader sees one whole content of one thread.
TEST(ThreadsServices, ClipboardHeldOpenReadsBackItsOwnContent) {
  TClipboard& cb = Clipboard();
  std::atomic<int> host_calls{0}, host_mixed{0};
  cb.OnHostChange = [&](TClipboard* c) {
    // Runs while the closing thread still holds the clipboard: text and metafile agree.
    ++host_calls;
    if (c->HasFormat(CF_ENHMETAFILE) && c->AsMetafile() != "<svg>" + c->AsText()) ++host_mixed;
  };
  std::vector<int> bad(kThreads, 0);
  // "text <thread> #<round>" of one of the threads, never a mix of two.
  const auto whole = [](const std::string& s) {
    if (s.size() < 8 || s.compare(0, 5, "text ") != 0 || s[5] < '0' || s[5] >= '0' + kThreads ||
        s.compare(6, 2, " #") != 0)
      return false;
    return s.find_first_not_of("0123456789", 8) == std::string::npos;
  };
  constexpr int kRounds = 40;
  test::run_together(kThreads, [&](int t) {
    TBitmap own(2 + t, 3);
    for (int i = 0; i < kRounds; ++i) {
      const std::string text = "text " + std::to_string(t) + " #" + std::to_string(i);
      cb.Open();
      cb.SetAsText(text);
      cb.SetAsMetafile("<svg>" + text);
      if (cb.AsText() != text || cb.AsMetafile() != "<svg>" + text) ++bad[size_t(t)];
      cb.Close();
      // Unbracketed: some thread's whole text, possibly another's, or none when another
      // thread's bitmap came in between.
      cb.SetAsText(text);
      const std::string now = cb.AsText();
      if (!now.empty() && !whole(now)) ++bad[size_t(t)];
      cb.Assign(&own);
      TBitmap got;
      if (cb.GetBitmap(&got) && got.Height() != 3) ++bad[size_t(t)];
    }
  });
  cb.OnHostChange = nullptr;
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(bad[size_t(t)], 0) << "thread " << t;
  // One host call per change: the bracketed pair, the text, the bitmap.
  EXPECT_EQ(host_calls.load(), kThreads * kRounds * 3);
  EXPECT_EQ(host_mixed.load(), 0);
  cb.Clear();
}

TEST(ThreadsServices, PaletteTakesRegistrationsAndLookupsFromEveryThread) {
  struct Made : TComponent {
    using TComponent::TComponent;
  };
  test::run_together(kThreads, [&](int t) {
    const std::string page = "ThreadPage" + std::to_string(t);
    for (int i = 0; i < 20; ++i) {
      RegisterComponents(page, {{"TMade" + std::to_string(t) + "_" + std::to_string(i % 5),
                                 [](TComponent* o) { return new Made(o); }}});
      std::unique_ptr<TComponent> c(CreateRegisteredComponent("TMade" + std::to_string((t + 1) % kThreads) + "_0", nullptr));
      (void)RegisteredPages();
    }
  });
  for (int t = 0; t < kThreads; ++t) {
    const auto classes = RegisteredComponents("ThreadPage" + std::to_string(t));
    ASSERT_EQ(classes.size(), 5u) << "page " << t;
    EXPECT_EQ(classes[4].ClassName, "TMade" + std::to_string(t) + "_4");
    std::unique_ptr<TComponent> c(CreateRegisteredComponent(classes[2].ClassName, nullptr));
    EXPECT_NE(dynamic_cast<Made*>(c.get()), nullptr);
  }
}

TEST(ThreadsServices, MessagesFromEveryThreadAreAllLogged) {
  ClearMessageDlgLog();
  std::atomic<int> answered{0};
  SetMessageDlgHandler([&](const std::string&, TMsgDlgType, TMsgDlgButtons, Integer) {
    ++answered;
    return mrYes;
  });
  test::run_together(kThreads, [&](int t) {
    for (int i = 0; i < 25; ++i) MessageDlg("from " + std::to_string(t), mtInformation, mbYesNo, t);
  });
  SetMessageDlgHandler(nullptr);
  const auto log = MessageDlgLog();
  ASSERT_EQ(log.size(), size_t(kThreads) * 25);
  EXPECT_EQ(answered.load(), kThreads * 25);
  std::vector<int> per(kThreads, 0);
  for (const TMessageDlgRecord& r : log) {
    EXPECT_EQ(r.Msg, "from " + std::to_string(r.HelpCtx));
    EXPECT_EQ(r.Result, mrYes);
    ++per[size_t(r.HelpCtx)];
  }
  for (int n : per) EXPECT_EQ(n, 25);
  ClearMessageDlgLog();
}

// One thread restyles while others read: every read is one of the values written.
TEST(ThreadsServices, StyleChangesWhileOtherThreadsReadIt) {
  const TCustomStyleServices saved = StyleServices();
  std::vector<int> bad(kThreads, 0);
  test::run_together(kThreads, [&](int t) {
    TCustomStyleServices& s = StyleServices();
    for (int i = 0; i < 2000; ++i) {
      if (t == 0) {
        s.SetStyleColor(14, i % 2 ? 0x111111 : 0x222222);
        s.SetEnabled(i % 2);
      } else {
        const TColor c = s.GetStyleColor(14);
        if (c != 0x111111 && c != 0x222222 && c != saved.GetStyleColor(14)) ++bad[size_t(t)];
        (void)s.GetSystemColor(clWindow);
      }
    }
  });
  StyleServices() = saved;
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(bad[size_t(t)], 0) << "thread " << t;
  EXPECT_FALSE(StyleServices().Enabled());
}

// Each thread has its own generator, so a seed gives the same sequence on every thread.
TEST(ThreadsServices, RandomSequencesArePerThreadAndReproducible) {
  GRandomize(7);
  std::vector<double> want;
  for (int i = 0; i < 500; ++i) want.push_back(GRandom());
  std::vector<std::vector<double>> got(kThreads);
  test::run_together(kThreads, [&](int t) {
    GRandomize(7);
    for (int i = 0; i < 500; ++i) got[size_t(t)].push_back(GRandom());
  });
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(got[size_t(t)], want) << "thread " << t;
}

// Alt comes from the keyboard state a thread's own events reported; a press on one
// window's thread must not show up in another's mouse messages.
TEST(ThreadsServices, AltReportedOnOneThreadStaysThere) {
  std::latch pressed(1);
  bool own_alt = false, other_alt = true;
  test::run_together(2, [&](int t) {
    if (t == 0) {
      TControl c(nullptr);
      c.HostKeyDown(VK_MENU, {ssAlt});
      own_alt = KeysToShiftState(0).Contains(ssAlt);
      pressed.count_down();
      c.HostKeyUp(VK_MENU, {});
    } else {
      pressed.wait();
      other_alt = KeysToShiftState(0).Contains(ssAlt);
    }
  });
  EXPECT_TRUE(own_alt);
  EXPECT_FALSE(other_alt);
}

TEST(ThreadsServices, TerminateIsSeenByAnotherThread) {
  TApplication app;
  std::atomic<bool> seen{false};
  test::run_together(2, [&](int t) {
    if (t == 0) {
      app.Terminate();
    } else {
      while (!app.Terminated()) std::this_thread::yield();
      seen = true;
    }
  });
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace kvr
