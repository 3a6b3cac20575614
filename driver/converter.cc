// The Converter's output path.
#include "driver/converter.h"

#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::WriteLine(std::string_view text) {
  output_->Write("\n", 1);
  return output_->Write(text.data(), text.size()) ? ResultCode::Ok : ResultCode::WriteFailed;
}

ResultCode Converter::WriteCommand(const CommandBuilder& command) {
  if (!command.ok()) return ResultCode::OutOfMemory;
  return WriteLine(command.text());
}

}  // namespace tsm2ostra
