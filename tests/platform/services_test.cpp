#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clipbrd.h"
#include "platform/dialogs.h"
#include "platform/forms.h"

using namespace kvr;

namespace {

int mask_count(const TCursorImage& c) {
  int n = 0;
  for (Byte b : c.Mask) n += b;
  return n;
}

// Grey level per pixel, -1 where the cursor is transparent.
std::vector<int> picture(const TCursorImage& c) {
  std::vector<int> r;
  for (size_t i = 0; i < c.Mask.size(); ++i) r.push_back(c.Mask[i] ? c.Pixels[i].R : -1);
  return r;
}

}  // namespace

TEST(ServicesScreen, BuiltInCursorsAreDistinctImagesWithHotSpotsOnThem) {
  const char* names[] = {"CURHAND", "CURZOOMW", "CURZOOMD", "CURZOOMP"};
  std::vector<HCURSOR> loaded;
  for (const char* name : names) {
    SCOPED_TRACE(name);
    HCURSOR c = LoadCursor(name);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Name, name);
    ASSERT_EQ(c->Width, 32);
    ASSERT_EQ(c->Height, 32);
    ASSERT_EQ(c->Mask.size(), 32u * 32u);
    ASSERT_EQ(c->Pixels.size(), 32u * 32u);
    const int n = mask_count(*c);
    EXPECT_GT(n, 100);
    EXPECT_LT(n, 700);
    // The hot spot lies on the drawn shape, and only masked pixels carry colour.
    EXPECT_EQ(c->Mask[c->HotSpotY * 32 + c->HotSpotX], 1);
    bool has_black = false, has_white = false;
    for (size_t i = 0; i < c->Mask.size(); ++i) {
      const TRGB32& p = c->Pixels[i];
      if (!c->Mask[i]) {
        EXPECT_EQ(p.A, 0);
        continue;
      }
      EXPECT_EQ(p.A, 255);
      has_black |= p.R == 0;
      has_white |= p.R == 255;
    }
    EXPECT_TRUE(has_black && has_white);
    loaded.push_back(c);
  }
  for (size_t i = 0; i < loaded.size(); ++i)
    for (size_t j = i + 1; j < loaded.size(); ++j) EXPECT_NE(picture(*loaded[i]), picture(*loaded[j]));
  EXPECT_EQ(LoadCursor("curzoomp"), LoadCursor(HInstance, "CURZOOMP"));
  EXPECT_FALSE(LoadCursor("CURNONE"));
}

TEST(ServicesScreen, CursorRegistryAndCursorHook) {
  TScreen& s = Screen();
  EXPECT_EQ(&s, &Screen());
  EXPECT_EQ(s.PixelsPerInch(), 96);

  // Framework cursors are built in and cannot be replaced.
  EXPECT_EQ(s.Cursors(crCross)->Standard, crCross);
  EXPECT_EQ(s.Cursors(crHandPoint)->Standard, crHandPoint);
  s.SetCursors(crCross, LoadCursor("CURHAND"));
  EXPECT_EQ(s.Cursors(crCross)->Standard, crCross);

  // Unregistered indexes give the default cursor.
  EXPECT_EQ(s.Cursors(77)->Standard, crDefault);
  EXPECT_FALSE(s.Cursors(77)->HasImage());
  s.SetCursors(77, LoadCursor("CURZOOMD"));
  EXPECT_EQ(s.Cursors(77)->Name, "CURZOOMD");
  s.SetCursors(77, nullptr);
  EXPECT_EQ(s.Cursors(77)->Standard, crDefault);

  std::vector<TCursor> shown;
  s.OnHostCursorChange = [&](TCursor c) { shown.push_back(c); };
  s.SetCursor(crCross);
  s.SetCursor(crCross);
  s.SetCursor(2);
  s.SetCursor(crDefault);
  s.OnHostCursorChange = nullptr;
  EXPECT_EQ(shown, (std::vector<TCursor>{crCross, 2, crDefault}));
  EXPECT_EQ(s.Cursor(), crDefault);
}

TEST(ServicesApplication, ProcessMessagesRunsTheHostHook) {
  TApplication app;
  app.ProcessMessages();  // headless: returns at once
  int calls = 0;
  app.OnHostProcessMessages = [&] {
    if (++calls == 3) app.Terminate();
  };
  while (!app.Terminated()) app.ProcessMessages();
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(Application().Terminated());
}

TEST(ServicesDialogs, HeadlessDialogAnswersOkAndLogsEveryCall) {
  ClearMessageDlgLog();
  EXPECT_EQ(MessageDlg("Sharing refused", mtWarning, mbYesNo, 7), mrOk);
  auto previous = SetMessageDlgHandler([](const std::string& msg, TMsgDlgType, TMsgDlgButtons b, Integer) {
    return b.Contains(mbNo) && msg == "Really?" ? mrNo : mrCancel;
  });
  EXPECT_FALSE(previous);
  EXPECT_EQ(MessageDlg("Really?", mtConfirmation, mbYesNo, 0), mrNo);
  SetMessageDlgHandler(nullptr);
  ShowMessage("Done");

  const auto& log = MessageDlgLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].Msg, "Sharing refused");
  EXPECT_EQ(log[0].DlgType, mtWarning);
  EXPECT_EQ(log[0].Buttons, mbYesNo);
  EXPECT_EQ(log[0].HelpCtx, 7);
  EXPECT_EQ(log[1].Result, mrNo);
  EXPECT_EQ(log[2].Result, mrOk);
  EXPECT_EQ(log[2].Buttons, TMsgDlgButtons{mbOK});
  ClearMessageDlgLog();
  EXPECT_TRUE(MessageDlgLog().empty());
}

TEST(ServicesClipboard, BitmapAndMetafileRoundTripAndReplaceEachOther) {
  TClipboard cb;
  int changes = 0;
  cb.OnHostChange = [&](TClipboard*) { ++changes; };

  TBitmap bmp(3, 2);
  bmp.ScanLine(1)[2] = TRGB32{10, 20, 30, 255};
  cb.Assign(&bmp);
  bmp.ScanLine(1)[2] = TRGB32{0, 0, 0, 255};  // the clipboard holds a copy
  EXPECT_TRUE(cb.HasFormat(CF_BITMAP));
  EXPECT_TRUE(cb.HasFormat(CF_DIB));
  EXPECT_FALSE(cb.HasFormat(CF_ENHMETAFILE));
  TBitmap back;
  ASSERT_TRUE(cb.GetBitmap(&back));
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(back.Height(), 2);
  EXPECT_EQ(back.ScanLine(1)[2].R, 30);
  EXPECT_EQ(changes, 1);

  cb.SetAsMetafile("<svg/>");
  EXPECT_FALSE(cb.HasFormat(CF_BITMAP));
  EXPECT_TRUE(cb.HasFormat(CF_METAFILEPICT));
  EXPECT_TRUE(cb.HasFormat(CF_ENHMETAFILE));
  EXPECT_EQ(cb.AsMetafile(), "<svg/>");
  EXPECT_FALSE(cb.GetBitmap(&back));
  EXPECT_EQ(back.Width(), 3);  // untouched
  EXPECT_EQ(changes, 2);

  // Formats set within one opening sit side by side, and the host hears of them once.
  cb.Open();
  cb.Assign(&bmp);
  cb.SetAsText("chart");
  cb.Assign(&cb);  // not a bitmap: ignored
  cb.Close();
  EXPECT_TRUE(cb.HasFormat(CF_BITMAP));
  EXPECT_TRUE(cb.HasFormat(CF_TEXT));
  EXPECT_FALSE(cb.HasFormat(CF_METAFILEPICT));
  EXPECT_EQ(changes, 3);

  cb.Clear();
  EXPECT_FALSE(cb.HasFormat(CF_BITMAP) || cb.HasFormat(CF_TEXT));
  EXPECT_EQ(&Clipboard(), &Clipboard());
}
