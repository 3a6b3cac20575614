// Opening, converting and closing the two files of a conversion.
#include "driver/file_conversion.h"

#include "driver/file_access.h"

namespace tsm2ostra {
namespace {

long ReadFromFile(void* context, char* buffer, size_t capacity) {
  std::FILE* file = static_cast<std::FILE*>(context);
  const size_t read = std::fread(buffer, 1, capacity, file);
  if (read == 0 && std::ferror(file)) return -1;  // a failed read is not the end
  return static_cast<long>(read);
}

int WriteToFile(void* context, const char* bytes, size_t size) {
  // The file is unbuffered, so the bytes go to the system in this one write.
  return std::fwrite(bytes, 1, size, static_cast<std::FILE*>(context)) == size ? 0 : 1;
}

}  // namespace

tsm2ostra_status OpenModelAndDrawing(const char* model_path, const char* drawing_path,
                                     std::FILE** model, std::FILE** drawing) {
  *model = OpenInputFile(model_path);
  *drawing = nullptr;
  if (*model == nullptr) return TSM2OSTRA_CANNOT_OPEN_INPUT;
  // The drawing is opened without being emptied, and emptied only once it is known not to
  // be the model (whatever name, path or link leads to it).
  std::FILE* output = OpenOutputFile(drawing_path);
  if (output != nullptr && (IsSameFile(*model, output) || !EmptyFile(output))) {
    std::fclose(output);
    output = nullptr;
  }
  if (output == nullptr) {
    std::fclose(*model);
    *model = nullptr;
    return TSM2OSTRA_CANNOT_OPEN_OUTPUT;
  }
  // The conversion buffers on its own; its writes then go straight to the file, and a
  // failure shows at the write that met it.
  std::setvbuf(output, nullptr, _IONBF, 0);
  *drawing = output;
  return TSM2OSTRA_OK;
}

tsm2ostra_result ConvertOpenModel(std::FILE* model, tsm2ostra_write_fn write, void* context,
                                  const tsm2ostra_options* options) {
  const tsm2ostra_result result =
      tsm2ostra_convert_stream(ReadFromFile, model, write, context, options);
  std::fclose(model);
  return result;
}

tsm2ostra_result ConvertOpenFiles(std::FILE* model, std::FILE* drawing,
                                  const tsm2ostra_options* options) {
  tsm2ostra_result result = ConvertOpenModel(model, WriteToFile, drawing, options);
  // Only a drawing written whole counts as converted.
  if (std::fclose(drawing) != 0 && result.status == TSM2OSTRA_OK) {
    result.status = TSM2OSTRA_WRITE_FAILED;
  }
  return result;
}

}  // namespace tsm2ostra
