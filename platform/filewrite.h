// Writing a file in one go: open (truncating), write, flush, close, and only then judge
// the result. A full disk often shows only when the last buffer is flushed or the file
// is closed, so a check made before that reports a failure as success.
//
// write_file raises the caller's error types with the file name and a plain reason
// ("Cannot create file "x": No such file or directory", "Cannot write file "x": No
// space left on device"). A writer that throws leaves a partial file behind.
#pragma once

#include <array>
#include <concepts>
#include <cstdio>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "platform/kvrerror.h"

namespace kvr::detail {

// The stream of one file being written. Records the first failure of the system, so
// that the reason is the one that happened and not whatever errno says later.
class FileSink : private std::streambuf {
 public:
  explicit FileSink(const std::string& file_name);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool is_open() const { return file_ != nullptr; }
  std::ostream& stream() { return stream_; }
  // Flushes and closes; true when every byte reached the file.
  bool close();
  // The plain reason of the first failure, empty while there was none.
  std::string reason() const;

 private:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;
  bool put_bytes(const char* s, std::size_t n);
  bool flush_buffer();

  std::FILE* file_ = nullptr;
  int error_ = 0;
  std::unique_ptr<std::array<char, 65536>> buffer_;
  std::ostream stream_;
};

std::string cannot_create_message(const std::string& file_name, const std::string& reason);
std::string cannot_write_message(const std::string& file_name, const std::string& reason);

// Opens FileName, lets fill(std::ostream&) write the content, then flushes and closes.
// Raises CreateError when the file cannot be created, WriteError when any byte failed.
template <class CreateError = Exception, class WriteError = CreateError, class Fill>
  requires std::invocable<Fill&, std::ostream&>
void write_file(const std::string& FileName, Fill&& fill) {
  FileSink sink(FileName);
  if (!sink.is_open()) RaiseKvrError<CreateError>(cannot_create_message(FileName, sink.reason()));
  fill(sink.stream());
  if (!sink.close()) RaiseKvrError<WriteError>(cannot_write_message(FileName, sink.reason()));
}

// The same for content that is already in memory.
template <class CreateError = Exception, class WriteError = CreateError>
void write_file(const std::string& FileName, std::string_view Bytes) {
  write_file<CreateError, WriteError>(FileName, [Bytes](std::ostream& out) {
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  });
}

}  // namespace kvr::detail
