#include "platform/filewrite.h"

#include <cerrno>
#include <system_error>

namespace kvr::detail {

FileSink::FileSink(const std::string& file_name)
    : buffer_(std::make_unique<std::array<char, 65536>>()), stream_(this) {
  errno = 0;
  file_ = std::fopen(file_name.c_str(), "wb");
  if (!file_) {
    error_ = errno ? errno : EIO;
    stream_.setstate(std::ios::badbit);
    return;
  }
  // The stream buffers; a second buffer in the C library would only copy again.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  setp(buffer_->data(), buffer_->data() + buffer_->size());
}

FileSink::~FileSink() {
  if (file_) std::fclose(file_);
}

bool FileSink::put_bytes(const char* s, std::size_t n) {
  if (error_) return false;
  errno = 0;
  if (std::fwrite(s, 1, n, file_) == n) return true;
  error_ = errno ? errno : EIO;
  return false;
}

bool FileSink::flush_buffer() {
  const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_->data(), buffer_->data() + buffer_->size());
  return n == 0 || put_bytes(buffer_->data(), n);
}

FileSink::int_type FileSink::overflow(int_type ch) {
  if (!file_ || !flush_buffer()) return traits_type::eof();
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  *pptr() = traits_type::to_char_type(ch);
  pbump(1);
  return ch;
}

std::streamsize FileSink::xsputn(const char* s, std::streamsize n) {
  if (!file_) return 0;
  // Blocks larger than the buffer go straight to the file.
  if (n > epptr() - pptr()) {
    if (!flush_buffer()) return 0;
    if (n >= static_cast<std::streamsize>(buffer_->size()))
      return put_bytes(s, static_cast<std::size_t>(n)) ? n : 0;
  }
  traits_type::copy(pptr(), s, static_cast<std::size_t>(n));
  pbump(static_cast<int>(n));
  return n;
}

int FileSink::sync() { return file_ && flush_buffer() ? 0 : -1; }

bool FileSink::close() {
  if (!file_) return false;
  flush_buffer();
  errno = 0;
  if (std::fflush(file_) != 0 && !error_) error_ = errno ? errno : EIO;
  errno = 0;
  if (std::fclose(file_) != 0 && !error_) error_ = errno ? errno : EIO;
  file_ = nullptr;
  if (!stream_ && !error_) error_ = EIO;
  return error_ == 0;
}

std::string FileSink::reason() const {
  return error_ ? std::generic_category().message(error_) : std::string();
}

std::string cannot_create_message(const std::string& file_name, const std::string& reason) {
  return "Cannot create file \"" + file_name + "\"" + (reason.empty() ? "" : ": " + reason);
}

std::string cannot_write_message(const std::string& file_name, const std::string& reason) {
  return "Cannot write file \"" + file_name + "\"" + (reason.empty() ? "" : ": " + reason);
}

}  // namespace kvr::detail
