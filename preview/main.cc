// Entry point of ostra2svg: the command line, the files, the messages and the exit status.
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "preview/byte_source.h"
#include "preview/picture_file.h"
#include "preview/renderer.h"

namespace {

const char kUsage[] =
    "Usage: ostra2svg [--fit] DRAWING.ost PICTURE.svg\n"
    "Draws the Ostra commands that tsm2ostra writes, read from DRAWING.ost, as an SVG\n"
    "picture in PICTURE.svg. The picture is replaced only when the whole drawing was read.\n"
    "'-' as DRAWING.ost reads standard input; as PICTURE.svg, writes standard output.\n"
    "\n"
    "      --fit      show the drawing alone, without the 140 x 100 drawing area\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Exit status: 0 when the picture was written, 1 when the drawing has a fault (the\n"
    "message names its line), 2 for a wrong command line or a file that can't be read or\n"
    "written, 3 when memory ran out.\n";

// Status 2: a wrong command line, or a file that can't be read or written.
constexpr int kFileError = 2;
// Status 3: memory ran out.
constexpr int kOutOfMemory = 3;

int CommandLineError(const std::string& message) {
  std::fprintf(stderr, "ostra2svg: %s\nTry 'ostra2svg --help' for more information.\n",
               message.c_str());
  return kFileError;
}

int FileError(const std::string& message) {
  std::fprintf(stderr, "ostra2svg: %s\n", message.c_str());
  return kFileError;
}

int Convert(const std::string& drawing_path, const std::string& picture_path,
            const ostra2svg::RenderOptions& options) {
  std::string reason;
  std::FILE* drawing = ostra2svg::OpenDrawing(drawing_path, &reason);
  if (drawing == nullptr) return FileError("cannot read '" + drawing_path + "': " + reason);
  if (ostra2svg::SameFile(drawing_path, picture_path)) {
    ostra2svg::CloseDrawing(drawing);
    return FileError("cannot write '" + picture_path + "': it is the drawing itself");
  }
  ostra2svg::PictureFile picture;
  std::string message;
  if (!picture.Open(picture_path, &message)) {
    ostra2svg::CloseDrawing(drawing);
    return FileError(message);
  }
  ostra2svg::FileByteSource source(drawing);
  const ostra2svg::RenderResult result = ostra2svg::RenderDrawing(&source, picture.sink(), options);
  ostra2svg::CloseDrawing(drawing);

  using Status = ostra2svg::RenderResult::Status;
  switch (result.status) {
    case Status::Ok:
    case Status::WriteFailed:  // Commit reports the failed write
      if (!picture.Commit(&message)) return FileError(message);
      return 0;
    case Status::BadDrawing:
      picture.Discard();
      std::fprintf(stderr, "ostra2svg: %s:%lld: %s\n", drawing_path.c_str(),
                   static_cast<long long>(result.line), result.message.c_str());
      return 1;
    case Status::ReadFailed:
      picture.Discard();
      return FileError("cannot read '" + drawing_path + "': " +
                       (source.error_number() != 0 ? std::strerror(source.error_number())
                                                   : "read failed"));
  }
  return 1;
}

int Run(int argc, char* argv[]) {
  std::string files[2];
  int count = 0;
  bool options_end = false;
  ostra2svg::RenderOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!options_end && argument == "--") {
      options_end = true;
    } else if (!options_end && (argument == "--help" || argument == "-h")) {
      std::fputs(kUsage, stdout);
      return std::fflush(stdout) == 0 ? 0 : kFileError;
    } else if (!options_end && argument == "--version") {
      std::printf(
          "ostra2svg (tsm2ostra) %s\n"
          "Copyright (c) 2026 The tsm2ostra authors.\n"
          "Released under the MIT License; see the LICENSE file.\n",
          OSTRA2SVG_VERSION);
      return std::fflush(stdout) == 0 ? 0 : kFileError;
    } else if (!options_end && argument == "--fit") {
      options.fit = true;
    } else if (!options_end && argument.size() > 1 && argument[0] == '-') {
      return CommandLineError("unknown option '" + argument + "'");
    } else if (count == 2) {
      return CommandLineError("too many arguments: '" + argument + "'");
    } else {
      files[count++] = argument;
    }
  }
  if (count == 0) return CommandLineError("missing drawing and picture file names");
  if (count == 1) return CommandLineError("missing picture file name after '" + files[0] + "'");
  return Convert(files[0], files[1], options);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Nothing in the program throws on purpose; only memory running out can.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("ostra2svg: out of memory\n", stderr);
    return kOutOfMemory;
  } catch (const std::length_error&) {  // a string or table past its largest size
    std::fputs("ostra2svg: out of memory\n", stderr);
    return kOutOfMemory;
  }
}
