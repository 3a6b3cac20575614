// Entry point of ostra2svg: the command line, the files, the messages and the exit status.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "preview/byte_source.h"
#include "preview/picture_file.h"
#include "preview/picture_sink.h"
#include "preview/renderer.h"

namespace {

const char kUsage[] =
    "Usage: ostra2svg DRAWING.ost PICTURE.svg\n"
    "Draws the Ostra commands that tsm2ostra writes, read from DRAWING.ost, as an SVG\n"
    "picture in PICTURE.svg. The picture is replaced only when the whole drawing was read.\n"
    "\n"
    "      --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Exit status: 0 when the picture was written, 1 when the drawing has a fault (the\n"
    "message names its line), 2 for a wrong command line or a file that can't be read or\n"
    "written.\n";

// Status 2: a wrong command line, or a file that can't be read or written.
constexpr int kFileError = 2;

int CommandLineError(const std::string& message) {
  std::fprintf(stderr, "ostra2svg: %s\nTry 'ostra2svg --help' for more information.\n",
               message.c_str());
  return kFileError;
}

int FileError(const char* what, const std::string& path, const std::string& reason) {
  std::fprintf(stderr, "ostra2svg: cannot %s '%s': %s\n", what, path.c_str(), reason.c_str());
  return kFileError;
}

int Convert(const std::string& drawing_path, const std::string& picture_path) {
  errno = 0;
  std::FILE* drawing = std::fopen(drawing_path.c_str(), "rb");
  if (drawing == nullptr) {
    return FileError("read", drawing_path, errno != 0 ? std::strerror(errno) : "cannot open");
  }
  std::error_code ignored;
  if (std::filesystem::equivalent(drawing_path, picture_path, ignored)) {
    std::fclose(drawing);
    return FileError("write", picture_path, "it is the drawing itself");
  }
  ostra2svg::PictureFile picture;
  std::string reason;
  if (!picture.Open(picture_path, &reason)) {
    std::fclose(drawing);
    return FileError("write", picture_path, reason);
  }
  ostra2svg::FileByteSource source(drawing);
  ostra2svg::FilePictureSink sink(picture.file());
  const ostra2svg::RenderResult result = ostra2svg::RenderDrawing(&source, &sink);
  std::fclose(drawing);

  using Status = ostra2svg::RenderResult::Status;
  switch (result.status) {
    case Status::Ok:
      if (!picture.Commit(&reason)) return FileError("write", picture_path, reason);
      return 0;
    case Status::BadDrawing:
      picture.Discard();
      std::fprintf(stderr, "ostra2svg: %s:%lld: %s\n", drawing_path.c_str(),
                   static_cast<long long>(result.line), result.message.c_str());
      return 1;
    case Status::ReadFailed:
      picture.Discard();
      return FileError(
          "read", drawing_path,
          source.error_number() != 0 ? std::strerror(source.error_number()) : "read failed");
    case Status::WriteFailed:
      picture.Discard();
      return FileError("write", picture_path, "write failed");
  }
  return 1;
}

int Run(int argc, char* argv[]) {
  std::string files[2];
  int count = 0;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!options_end && argument == "--") {
      options_end = true;
    } else if (!options_end && argument == "--help") {
      std::fputs(kUsage, stdout);
      return std::fflush(stdout) == 0 ? 0 : kFileError;
    } else if (!options_end && argument == "--version") {
      std::printf(
          "ostra2svg (tsm2ostra) %s\n"
          "Copyright (c) 2026 The tsm2ostra authors.\n"
          "Released under the MIT License; see the LICENSE file.\n",
          OSTRA2SVG_VERSION);
      return std::fflush(stdout) == 0 ? 0 : kFileError;
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
  return Convert(files[0], files[1]);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Nothing in the program throws on purpose; only memory running out can.
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("ostra2svg: out of memory\n", stderr);
    return 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "ostra2svg: %s\n", failure.what());
    return 1;
  }
}
