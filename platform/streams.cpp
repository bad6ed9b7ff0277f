#include "platform/streams.h"

namespace kvr {

std::string ReadLnStream(std::istream& Stream, bool& EndOfStream, Integer Format) {
  std::string raw;
  EndOfStream = false;
  std::istream::sentry ok(Stream, true);
  if (!ok) {
    EndOfStream = true;
    return {};
  }
  std::streambuf* sb = Stream.rdbuf();
  bool any = false;
  for (;;) {
    const int c = sb->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      Stream.setstate(std::ios::eofbit);
      break;
    }
    any = true;
    if (c == '\n') break;
    if (c == '\r') {
      if (sb->sgetc() == '\n') sb->sbumpc();
      break;
    }
    raw.push_back(static_cast<char>(c));
  }
  if (!any) {
    EndOfStream = true;
    Stream.setstate(std::ios::failbit);
    return {};
  }
  if (Format != lnfEscapedUtf8) return raw;

  std::string line;
  line.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) {
      const char k = raw[i + 1];
      if (k == '\\' || k == 'n' || k == 'r') {
        line.push_back(k == 'n' ? '\n' : k == 'r' ? '\r' : '\\');
        ++i;
        continue;
      }
    }
    line.push_back(raw[i]);
  }
  return line;
}

void WriteLnStream(std::ostream& Stream, const std::string& Line, Integer Format) {
  if (Format != lnfEscapedUtf8) {
    Stream.write(Line.data(), static_cast<std::streamsize>(Line.size()));
  } else {
    std::string out;
    out.reserve(Line.size() + 8);
    for (char c : Line) {
      switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out.push_back(c);
      }
    }
    Stream.write(out.data(), static_cast<std::streamsize>(out.size()));
  }
  Stream.write("\r\n", 2);
}

}  // namespace kvr
