// The sentence that tsm2ostra_explain gives for a refused model.
#ifndef TSM2OSTRA_DRIVER_REFUSAL_EXPLANATION_H_
#define TSM2OSTRA_DRIVER_REFUSAL_EXPLANATION_H_

#include "translate/notices.h"
#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra {

// Adds to s why the model was refused, for INVALID_INPUT (from the token, whose 64 bytes end
// in a NUL) and END_OF_INPUT; nothing for other statuses.
void ExplainRefusal(const tsm2ostra_result& result, Sentence* s);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_REFUSAL_EXPLANATION_H_
