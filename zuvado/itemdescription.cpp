// The text description of an item, as the data listing writes it.
#include <string>

#include "platform/stringl.h"
#include "zuvado/chartfiles.h"

namespace kvr {

namespace {

constexpr const char* kCrLf = "\r\n";

// Upper-case hexadecimal with exactly Digits digits of the value's two's complement.
std::string hex(std::uint32_t v, int Digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s(size_t(Digits), '0');
  for (int i = Digits - 1; i >= 0; --i, v >>= 4) s[size_t(i)] = kDigits[v & 0xF];
  return s;
}

std::string num(double v) { return SigDigStr(v, 10, 5, true); }
std::string pair(double a, double b) {
  std::string s(1, '[');
  s += num(a);
  s += '/';
  s += num(b);
  s += ']';
  return s;
}

const char* kind_name(TrcItem k) {
  static constexpr const char* kNames[kNumItemKinds] = {
      "",           "tkMarkAt",     "tkLine",          "tkLineTo",     "tkRect",
      "tkRectFrame", "tk3DBar",     "tkText",          "tkMoveTo",     "tkEllipse",
      "",           "",             "tkMoveRelPix",    "tkLineRelPix", "tkArrow",
      "tkDoubleArrow", "tkTextOfs", "tkRectRelPix",    "tkMarkEBar",   "tkLineOffs",
      "tkArc",      "tkLineRelPixOrig", "tkCursorVert", "tkCursorHoriz"};
  return unsigned(k) < unsigned(kNumItemKinds) ? kNames[k] : "";
}

const char* frame_name(TFrameStyle f) {
  switch (f) {
    case rbLowered: return "rbLowered";
    case rbRaised: return "rbRaised";
    case rbEmbossed: return "rbEmbossed";
    case rbEngraved: return "rbEngraved";
    default: return nullptr;
  }
}

// The per-kind lines that only the full description (Mode -1) carries.
void append_details(const TrcChartItem& it, std::string& s) {
  auto line = [&s](const std::string& text) { s += kCrLf + text; };
  const auto lw = [&] { line("linewidth: " + std::to_string(it.LWid)); };
  const auto fc = [&] { line("fillcolor: " + hex(std::uint32_t(it.FillColor), 8)); };
  const auto tr = [&] { line("  transp.: " + BoolToStr(it.Transp, 0)); };
  const auto halfaxes = [&] { line(" halfaxes: " + num(it.x2) + " " + num(it.y2)); };
  switch (it.ItemKind) {
    case tkMarkAt:
      line(" marktype: " + std::to_string(it.Param3));
      break;
    case tkLine: case tk3DBar: case tkLineOffs:
      lw();
      line(" endpoint: " + pair(it.x2, it.y2));
      if (it.ItemKind == tk3DBar) {
        fc();
        line("    depth: " + std::to_string(it.Param2));
        line("    angle: " + std::to_string(it.Param1));
      } else if (it.ItemKind == tkLineOffs) {
        line("   offset: " + pair(it.Param1, it.Param2));
      }
      break;
    case tkRect:
      lw();
      line("   corner: " + pair(it.x2, it.y2));
      fc();
      tr();
      break;
    case tkRectFrame:
      lw();
      line("   corner: " + pair(it.x2, it.y2));
      fc();
      if (const char* name = frame_name(it.FrameStyle)) line(std::string("frametype: ") + name);
      line("shadowcol: " + hex(std::uint32_t(it.ShadowColor), 8));
      line("hilitecol: " + hex(std::uint32_t(it.HiLightColor), 8));
      break;
    case tkText: case tkTextOfs:
      line("     text: \"" + ReduceStringToAZ09(std::string(it.Text.View())) + "\"" +
           (it.LWid > 0 ? " (abbrev.)" : ""));
      line("     size: " + std::to_string(it.Param1));
      line("    align: " + std::to_string(it.Param3));
      if (it.ItemKind == tkTextOfs) {
        line(" offset x: '" + SigDigStr(it.x2, 10, 0, true) + "'");
        line(" offset y: '" + SigDigStr(it.y2, 10, 0, true) + "'");
      }
      break;
    case tkEllipse:
      lw();
      halfaxes();
      fc();
      tr();
      break;
    case tkArrow: case tkDoubleArrow:
      lw();
      line("    arrow: " + pair(it.x2, it.y2));
      fc();
      tr();
      line(" headsize: " + std::to_string(it.Param1));
      break;
    case tkRectRelPix:
      lw();
      line("    dx/dy: " + std::to_string(it.Param1) + "/" + std::to_string(it.Param2));
      fc();
      tr();
      break;
    case tkMarkEBar:
      lw();
      line("   errors: " + pair(it.x2, it.y2));
      line(" marktype: " + std::to_string(it.Param3));
      line("direction: " + std::to_string(it.Param1));
      break;
    case tkArc:
      lw();
      halfaxes();
      line("   angles: " + SigDigStr(it.Param1 / kArcAngleScale, 10, 8, true) + " " +
           SigDigStr(it.Param2 / kArcAngleScale, 10, 8, true));
      break;
    case tkLineRelPixOrig:
      lw();
      line("    dx/dy: " + SigDigStr(it.x2, 10, 0, true) + "/" + SigDigStr(it.y2, 10, 0, true));
      break;
    default:
      break;
  }
}

}  // namespace

std::string ItemDescription(const TrcChartItem& Item, Integer Mode) {
  std::string s;
  if (Mode & 1) s += std::string("elemtype: ") + kind_name(Item.ItemKind);
  if (Mode & 2) {
    const char* suffix =
        Item.CoordMode == cmAllScreen || Item.CoordMode == cmScreenMainWorldSec
            ? " (screen coords)"
            : "";
    switch (Item.ItemKind) {
      case tkCursorVert:
        s += kCrLf + std::string(" position: [") + num(Item.x) + "]" + suffix;
        break;
      case tkCursorHoriz:
        s += kCrLf + std::string(" position: [") + num(Item.y) + "]" + suffix;
        break;
      case tkEllipse:
        s += kCrLf + std::string("   center: ") + pair(Item.x, Item.y) + suffix;
        break;
      default:
        s += kCrLf + std::string(" startpnt: ") + pair(Item.x, Item.y) + suffix;
        break;
    }
    s += kCrLf + std::string(" endpoint: ") + pair(Item.x2, Item.y2);
  }
  if (Mode & 8) s += kCrLf + std::string("      tag: ") + hex(std::uint32_t(Item.Tag), 8);
  if (Mode & 4) {
    s += kCrLf + std::string("    color: ") + hex(std::uint32_t(Item.Color), 8);
    s += kCrLf + std::string(" penstyle: ") + hex(std::uint32_t(Item.PenStyle), 2);
  }
  if (Mode & 16) s += kCrLf + std::string(" classnum: ") + std::to_string(Item.ItemClass);
  if (Mode == -1) append_details(Item, s);
  return s;
}

}  // namespace kvr
