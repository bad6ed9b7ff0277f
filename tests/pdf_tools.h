// Reading PDF output back with poppler's tools (pdftotext, pdftoppm, pdfinfo), for the
// tests of vector output. Tests skip themselves when the tools are missing.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/bitmap.h"

namespace kvr::test {

inline bool have_poppler() {
  static const bool found = std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdftoppm "
                                        ">/dev/null 2>&1 && command -v pdfinfo >/dev/null 2>&1") == 0;
  return found;
}

// Standard output of a command; empty when it fails.
inline std::string run_output(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  if (pclose(p) != 0) out.clear();
  return out;
}

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }

// The text of every page, as a viewer would copy it.
inline std::string pdf_text(const std::string& file) {
  return run_output("pdftotext -q " + quoted(file) + " - 2>/dev/null");
}

// pdfinfo's report ("Pages:", "Page size:", ...); empty for a file poppler refuses.
inline std::string pdf_info(const std::string& file) { return run_output("pdfinfo " + quoted(file) + " 2>&1"); }

// The first page rendered at dpi into a bitmap (empty when rendering fails).
inline void render_pdf(const std::string& file, int dpi, TBitmap& out) {
  const std::string prefix = file + ".render";
  const std::string cmd = "pdftoppm -q -singlefile -png -r " + std::to_string(dpi) + " " + quoted(file) + " " +
                          quoted(prefix) + " 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return;
  out.LoadFromFile(prefix + ".png");
}

inline std::string read_bytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace kvr::test
