#include "core/WindowStates.h"

#include <stdexcept>

namespace quantem::core {

namespace {

    std::string* labelOf(Form1& form, int number)
    {
        switch (number) {
        case 2:
            return &form.Label2;
        case 3:
            return &form.Label3;
        case 4:
            return &form.Label4;
        case 5:
            return &form.Label5;
        case 6:
            return &form.Label6;
        case 7:
            return &form.Label7;
        case 8:
            return &form.Label8;
        case 11:
            return &form.Label11;
        case 12:
            return &form.Label12;
        case 13:
            return &form.Label13;
        case 14:
            return &form.Label14;
        case 15:
            return &form.Label15;
        case 16:
            return &form.Label16;
        case 17:
            return &form.Label17;
        case 18:
            return &form.Label18;
        case 19:
            return &form.Label19;
        case 20:
            return &form.Label20;
        case 21:
            return &form.Label21;
        case 22:
            return &form.Label22;
        default:
            return nullptr;
        }
    }

    std::size_t indexOf(MessageWindowId id) { return static_cast<std::size_t>(id); }

} // namespace

std::string& Form1::label(int number)
{
    std::string* text = labelOf(*this, number);
    if (text == nullptr)
        throw std::out_of_range("Form1 has no value label " + std::to_string(number));
    return *text;
}

const std::string& Form1::label(int number) const
{
    return const_cast<Form1&>(*this).label(number);
}

const char* messageWindowName(MessageWindowId id)
{
    switch (id) {
    case MessageWindowId::Form5:
        return "Form5";
    case MessageWindowId::Form6:
        return "Form6";
    case MessageWindowId::Form9:
        return "Form9";
    case MessageWindowId::Form10:
        return "Form10";
    case MessageWindowId::Form7:
        return "Form7";
    case MessageWindowId::Form8:
        return "Form8";
    }
    return "";
}

const char* standingText(MessageWindowId id)
{
    switch (id) {
    case MessageWindowId::Form5:
        return "   Input error !";
    case MessageWindowId::Form6:
        return "Model choice mistake !";
    case MessageWindowId::Form9:
        return "Choose the X coordinate axis !";
    case MessageWindowId::Form10:
        return "Has not been saved yet.save it now ?";
    case MessageWindowId::Form7:
        return "                                            \r\n"
               "1. Reply the knowledge problems and using \r\n"
               "problems through e-mail. \r\n"
               "\r\n"
               "2. If your datum regress precision is not \r\n"
               "perfect (it is no need to set formula for \r\n"
               "the non-datum problems), you can e-mail us \r\n"
               "the data, and we can help you make the data \r\n"
               "regress.\r\n";
    case MessageWindowId::Form8:
        return "";
    }
    return "";
}

MessageWindow& MessageWindows::operator[](MessageWindowId id) { return m_windows[indexOf(id)]; }

const MessageWindow& MessageWindows::operator[](MessageWindowId id) const
{
    return m_windows[indexOf(id)];
}

void MessageWindows::show(
    MessageWindowId id, const std::optional<std::string>& text, const std::string& reason)
{
    MessageWindow& window = (*this)[id];
    if (!window.loaded) {
        window.loaded = true;
        window.text = standingText(id);
    }
    if (text)
        window.text = *text;
    window.visible = true;
    m_log.push_back(Showing { id, window.text, reason });
}

void MessageWindows::unload(MessageWindowId id)
{
    MessageWindow& window = (*this)[id];
    window.loaded = false;
    window.visible = false;
    window.text.clear();
}

} // namespace quantem::core
