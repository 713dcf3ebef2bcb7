#include "core/CheckedMath.h"

#include "core/Fault.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace quantem::core {

double checkFinite(double x)
{
    if (!std::isfinite(x))
        throw Fault(FaultCode::Overflow);
    return x;
}

double divide(double a, double b)
{
    if (b == 0.0) {
        // 0/0 is an overflow, x/0 a division by zero: callers tell them apart by number.
        if (a == 0.0 || std::isnan(a))
            throw Fault(FaultCode::Overflow);
        throw Fault(FaultCode::DivisionByZero);
    }
    return checkFinite(a / b);
}

double multiply(double a, double b) { return checkFinite(a * b); }

double add(double a, double b) { return checkFinite(a + b); }

double subtract(double a, double b) { return checkFinite(a - b); }

double power(double base, double exponent)
{
    if (base == 0.0 && exponent < 0.0)
        throw Fault(FaultCode::DivisionByZero);
    if (base < 0.0 && std::trunc(exponent) != exponent)
        throw Fault(FaultCode::InvalidArgument);
    return checkFinite(std::pow(base, exponent));
}

double naturalLog(double x)
{
    if (!(x > 0.0))
        throw Fault(FaultCode::InvalidArgument);
    return std::log(x);
}

double exponential(double x) { return checkFinite(std::exp(x)); }

double squareRoot(double x)
{
    if (x < 0.0)
        throw Fault(FaultCode::InvalidArgument);
    return std::sqrt(x);
}

float toSingle(double x)
{
    checkFinite(x);
    const float f = static_cast<float>(x);
    if (!std::isfinite(f))
        throw Fault(FaultCode::Overflow);
    return f;
}

std::int16_t toInteger16(double x)
{
    checkFinite(x);
    const double r = std::nearbyint(x); // the default rounding mode rounds halves to even
    if (r < -32768.0 || r > 32767.0)
        throw Fault(FaultCode::Overflow);
    return static_cast<std::int16_t>(r);
}

} // namespace quantem::core
