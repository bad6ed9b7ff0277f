// Builds a PDF 1.4 document whose pages each show one picture: the page bitmap as an
// RGB image, Flate-compressed, filling a page of the picture's size at its resolution.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvr {
class TBitmap;
}

namespace kvr::detail {

class PdfWriter {
 public:
  // Compresses the picture at once, so that only the compressed stream is kept.
  void add_page(const TBitmap& picture, int dpi);
  size_t page_count() const { return pages_.size(); }
  void clear() { pages_.clear(); }

  // The whole file; title goes into the document information (UTF-8).
  std::vector<uint8_t> build(std::string_view title) const;

 private:
  struct Page {
    int width = 0;
    int height = 0;
    double width_pt = 0;
    double height_pt = 0;
    std::vector<uint8_t> stream;
  };
  std::vector<Page> pages_;
};

// A PDF text string: literal when plain ASCII, else UTF-16BE in hex with a byte-order mark.
std::string pdf_text_string(std::string_view utf8);

}  // namespace kvr::detail
