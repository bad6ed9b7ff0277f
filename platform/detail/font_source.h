// Where the faces of a font come from: fontconfig matches a (name, style) to a font file,
// and, for a character that face lacks, names the first installed face in its order of
// preference that has it. Answers are kept for the life of the process and shared by all
// threads; each thread opens the files itself (see font_engine.h).
#pragma once

#include <string>

namespace kvr::detail {

// A face file as the engine opens it. Entries are never removed or changed, so pointers
// stay valid and may be handed between threads; equal (file, index, synthesis) give the
// same entry.
struct FaceSource {
  std::string file;    // font file path
  int index = 0;       // face index within the file (collections hold several)
  std::string family;  // family name, for vector output
  bool synth_bold = false;    // the style asked for bold and the file has none
  bool synth_italic = false;  // the style asked for italic and the file is upright
  int id = 0;                 // 0, 1, 2, ... in order of first use
};

// The face fontconfig matches for the name and style; nullptr when it has none.
const FaceSource* resolve_face(const std::string& name, bool bold, bool italic);

// The first scalable face in fontconfig's order of preference for the name and style that
// has code point cp; nullptr when no installed face has it.
const FaceSource* fallback_face(const std::string& name, bool bold, bool italic, char32_t cp);

}  // namespace kvr::detail
