#pragma once

#include <string>

namespace quantem::chart {

/// A tick value as the axes print it ("####.##"): rounded to at most two decimals, half away
/// from zero, from the value's 15 significant digits; no leading zero before the point, trailing
/// zeros of the decimals dropped, the point kept: 0.55 ".55", 5 "5.", -0.5 "-.5", 1234.567
/// "1234.57". A value that rounds to zero prints as "." without a sign.
std::string tickLabel(double value);

} // namespace quantem::chart
