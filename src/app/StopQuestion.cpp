#include "app/StopQuestion.h"

namespace quantem::app {

bool confirmStopOnClose(core::Questions* questions)
{
    if (questions == nullptr)
        return true;
    return questions->askYesNoCancel(kStopPromptText, kStopPromptTitle) == core::Answer::Yes;
}

} // namespace quantem::app
