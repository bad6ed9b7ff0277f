// Process-wide framework objects: Screen() (cursor, cursor registry, resolution) and
// Application() (the message loop). Both work without a display; a host replaces their
// hooks to reach the real window system.
//
// Threads: the cursor registry, the screen cursor and Terminate/Terminated may be used
// from any thread at the same time (controls on several threads all register the same
// cursors). The host hooks and the application title are set up once, before other
// threads start.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/types.h"

namespace kvr {

// A cursor shape. Built-in framework cursors (crArrow, crCross, ...) carry only their
// Standard value and leave the image to the host; loaded cursors carry an image:
// Mask marks the pixels that belong to the cursor, Pixels gives their colours (B, G, R,
// A = 255 where Mask is set, all zero elsewhere), rows top-down.
struct TCursorImage {
  std::string Name;
  TCursor Standard = crDefault;
  Integer Width = 0;
  Integer Height = 0;
  Integer HotSpotX = 0;
  Integer HotSpotY = 0;
  std::vector<Byte> Mask;
  std::vector<TRGB32> Pixels;

  bool HasImage() const { return Width > 0 && Height > 0; }
};
using HCURSOR = std::shared_ptr<const TCursorImage>;

using HINSTANCE = void*;
inline constexpr HINSTANCE HInstance = nullptr;

// The cursors built into the library: "CURHAND" (open hand, panning), "CURZOOMW"
// (magnifier with a window frame), "CURZOOMD" (magnifier with up/down arrows, drag zoom),
// "CURZOOMP" (magnifier with a plus). Names are matched without regard to case;
// nullptr for unknown names.
HCURSOR LoadCursor(std::string_view Name);
inline HCURSOR LoadCursor(HINSTANCE, std::string_view Name) { return LoadCursor(Name); }

class TScreen : public TObject {
 public:
  TScreen();

  // Properties
  // The cursor shown over every control while it differs from crDefault.
  TCursor Cursor() const { return FCursor.load(std::memory_order_relaxed); }
  void SetCursor(TCursor Value);
  // The registry: framework cursors are built in; other indexes give what SetCursors
  // stored there, else the default cursor.
  HCURSOR Cursors(Integer Index) const;
  // Registers a cursor under an index; nullptr removes the entry. Built-in indexes
  // cannot be replaced.
  void SetCursors(Integer Index, HCURSOR Handle);
  Integer PixelsPerInch() const { return 96; }

  // Host hook: runs when Cursor changes, with the new value. Changes from several threads
  // reach it one at a time, in the order they took effect.
  std::function<void(TCursor NewCursor)> OnHostCursorChange;

 private:
  std::atomic<TCursor> FCursor{crDefault};
  std::recursive_mutex FCursorLock;  // orders SetCursor and its hook, which may call back
  mutable std::shared_mutex FCursorsLock;  // guards FCursors
  std::map<Integer, HCURSOR> FCursors;
  const std::map<Integer, HCURSOR> FBuiltIn;  // fixed at construction
};

class TApplication : public TComponent {
 public:
  TApplication() : TComponent(nullptr) {}

  // Properties
  bool Terminated() const { return FTerminated.load(std::memory_order_acquire); }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }

  // Host hook of ProcessMessages: deliver the pending events of the window system.
  // Without a host nothing is pending, so the call returns at once.
  std::function<void()> OnHostProcessMessages;

  // Public methods
  void ProcessMessages();
  // Asks the message loop to end; nested loops should watch Terminated.
  void Terminate() { FTerminated.store(true, std::memory_order_release); }

 private:
  std::atomic<bool> FTerminated{false};
  std::string FTitle;
};

TScreen& Screen();
TApplication& Application();

}  // namespace kvr
