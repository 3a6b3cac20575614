// The Converter's output path.
#include "driver/converter.h"

#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::WriteLine(std::string_view text) {
  return WriteCommand(CommandBuilder(output_).Text(text));
}

}  // namespace tsm2ostra
