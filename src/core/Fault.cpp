#include "core/Fault.h"

namespace quantem::core {

Fault::Fault(FaultCode code, const std::string& what)
    : std::runtime_error(what.empty() ? faultDescription(code) : what)
    , m_code(code)
{
}

std::string faultDescription(FaultCode code)
{
    switch (code) {
    case FaultCode::InvalidArgument:
        return "Invalid procedure call or argument";
    case FaultCode::Overflow:
        return "Overflow";
    case FaultCode::OutOfMemory:
        return "Out of memory";
    case FaultCode::SubscriptOutOfRange:
        return "Subscript out of range";
    case FaultCode::DivisionByZero:
        return "Division by zero";
    case FaultCode::TypeMismatch:
        return "Type mismatch";
    case FaultCode::BadFileNameOrNumber:
        return "Bad file name or number";
    case FaultCode::FileNotFound:
        return "File not found";
    case FaultCode::InputPastEndOfFile:
        return "Input past end of file";
    case FaultCode::PathFileAccessError:
        return "Path/File access error";
    case FaultCode::InvalidPropertyValue:
        return "Invalid property value";
    case FaultCode::ObjectRequired:
        return "Object required";
    }
    return "Unknown fault";
}

} // namespace quantem::core
