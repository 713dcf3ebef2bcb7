#include "core/StopSwitch.h"

namespace quantem::core {

void StopSwitch::progress(const Form1& form1)
{
    if (requested())
        throw RunStopped {};
    if (m_next != nullptr)
        m_next->progress(form1);
}

} // namespace quantem::core
