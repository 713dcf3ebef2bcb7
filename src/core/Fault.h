#pragma once

#include <stdexcept>
#include <string>

namespace quantem::core {

/// The numbered runtime faults of the program. Procedures that trap faults choose their reaction
/// by this number.
enum class FaultCode
{
    InvalidArgument = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    InputPastEndOfFile = 62,
    PathFileAccessError = 75,
    InvalidPropertyValue = 380,
    ObjectRequired = 424,
};

/// The one exception type of the program: a runtime fault with its number.
class Fault : public std::runtime_error
{
public:
    explicit Fault(FaultCode code, const std::string& what = {});

    FaultCode code() const noexcept { return m_code; }
    int number() const noexcept { return static_cast<int>(m_code); }

private:
    FaultCode m_code;
};

/// A short English description of a fault number, for messages that name it.
std::string faultDescription(FaultCode code);

} // namespace quantem::core
