#include "core/Notices.h"

namespace quantem::core {

void postNotice(Form1& form, NoticeKind kind, const std::string& text)
{
    if (kind < form.StatusBar1Notice)
        return;
    form.StatusBar1[0] = text;
    form.StatusBar1Notice = kind;
}

void clearNotice(Form1& form)
{
    form.StatusBar1[0].clear();
    form.StatusBar1Notice = NoticeKind::None;
}

} // namespace quantem::core
