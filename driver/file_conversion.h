// A conversion between two files, in the two steps that the program prints between: opening
// both with the file rules, then converting and closing them.
#ifndef TSM2OSTRA_DRIVER_FILE_CONVERSION_H_
#define TSM2OSTRA_DRIVER_FILE_CONVERSION_H_

#include <cstdio>

#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra {

// Opens model_path for reading and drawing_path for writing. The drawing is created, or
// emptied if it exists, only once it is known not to be the model. TSM2OSTRA_OK with both
// files open, else TSM2OSTRA_CANNOT_OPEN_INPUT or TSM2OSTRA_CANNOT_OPEN_OUTPUT with none.
tsm2ostra_status OpenModelAndDrawing(const char* model_path, const char* drawing_path,
                                     std::FILE** model, std::FILE** drawing);

// Converts the open model, handing the drawing to write, and closes the model.
tsm2ostra_result ConvertOpenModel(std::FILE* model, tsm2ostra_write_fn write, void* context,
                                  const tsm2ostra_options* options);

// Converts the open model into the open drawing and closes both; a drawing that can't be
// closed after a clean conversion makes it TSM2OSTRA_WRITE_FAILED.
tsm2ostra_result ConvertOpenFiles(std::FILE* model, std::FILE* drawing,
                                  const tsm2ostra_options* options);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_FILE_CONVERSION_H_
