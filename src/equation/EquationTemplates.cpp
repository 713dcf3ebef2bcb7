#include "equation/EquationTemplates.h"

#include "equation/CurveFeatures.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>

namespace quantem::equation {

namespace {

    constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

    /// A template's starts read from the data, in the order of its entry's parameters; NaN
    /// where the data cannot tell.
    using Starts = std::vector<double>;
    using Derivation = Starts (*)(const CurveFeatures&);

    struct Template
    {
        EquationEntry entry;
        Derivation derive;
    };

    double orUnknown(const std::optional<double>& value) { return value.value_or(kUnknown); }

    // The level at a fraction of the way from base to top.
    double levelAt(double base, double top, double fraction)
    {
        return base + fraction * (top - base);
    }

    /// Amplitude, rate and offset of A exp(-k x) + C: C the last y, the rate from the x where
    /// y has come half way from the first y to it.
    Starts decayStarts(const CurveFeatures& c)
    {
        const double offset = c.lastY();
        const std::optional<double> half = c.crossing(levelAt(offset, c.firstY(), 0.5));
        if (!half || !(*half > c.firstX()))
            return { kUnknown, kUnknown, offset };
        const double rate = std::numbers::ln2 / (*half - c.firstX());
        return { (c.firstY() - offset) * std::exp(rate * c.firstX()), rate, offset };
    }

    /// The single decay's rate split into a fast one and a slow one, the amplitude shared.
    Starts doubleDecayStarts(const CurveFeatures& c)
    {
        const Starts single = decayStarts(c);
        const double rate = single[1];
        const double half = (c.firstY() - single[2]) / 2.0;
        return { half * std::exp(3.0 * rate * c.firstX()), 3.0 * rate,
            half * std::exp(rate / 3.0 * c.firstX()), rate / 3.0, single[2] };
    }

    /// L from the top, the midpoint where y is at L/2, the rate from the rise from 10 % to 90 %
    /// (ln 81 / (x90 - x10) for a logistic).
    Starts logisticStarts(const CurveFeatures& c)
    {
        const double top = c.maxY();
        const std::optional<double> x10 = c.crossing(0.1 * top);
        const std::optional<double> x90 = c.crossing(0.9 * top);
        const double rate = x10 && x90 && *x90 != *x10 ? std::log(81.0) / (*x90 - *x10) : kUnknown;
        return { top, rate, orUnknown(c.crossing(0.5 * top)) };
    }

    /// a from the top; -ln(y/a) = b exp(-c x) is 1 at x1 and 1/4 at x2, which gives b and c.
    Starts gompertzStarts(const CurveFeatures& c)
    {
        const double top = c.maxY();
        const std::optional<double> x1 = c.crossing(top * std::exp(-1.0));
        const std::optional<double> x2 = c.crossing(top * std::exp(-0.25));
        if (!x1 || !x2 || *x1 == *x2)
            return { top, kUnknown, kUnknown };
        const double rate = std::log(4.0) / (*x2 - *x1);
        return { top, std::exp(rate * *x1), rate };
    }

    /// Vmax from the top, Km where y is at half of it.
    Starts michaelisMentenStarts(const CurveFeatures& c)
    {
        return { c.maxY(), orUnknown(c.crossing(0.5 * c.maxY())) };
    }

    Starts hillStarts(const CurveFeatures& c)
    {
        return { c.maxY(), orUnknown(c.crossing(0.5 * c.maxY())), kUnknown };
    }

    /// The full width of the peak at index peak where it stands at level, from the crossings
    /// on both sides; twice the one side where the other falls outside the data.
    double fullWidthAt(const CurveFeatures& c, std::size_t peak, double level)
    {
        const std::optional<double> left = c.crossing(level, peak, true);
        const std::optional<double> right = c.crossing(level, peak);
        double width = kUnknown;
        if (left && right)
            width = *right - *left;
        else if (left || right)
            width = 2.0 * std::fabs((left ? *left : *right) - c.x(peak));
        // A width of 0 would start the fit with a division by zero.
        return width > 0.0 ? width : kUnknown;
    }

    /// The baseline through the first and last points; the peak above it, its centre and its
    /// width from the full width at half maximum (2 sqrt(2 ln 2) widths).
    Starts gaussianStarts(const CurveFeatures& c)
    {
        const double slope = (c.lastY() - c.firstY()) / (c.lastX() - c.firstX());
        const double base = c.firstY() - slope * c.firstX();
        const CurveFeatures peak = c.lessLine(base, slope);
        const std::size_t top = peak.peakIndex();
        const double height = peak.y(top);
        const double fwhm = fullWidthAt(peak, top, 0.5 * height);
        return { height, peak.x(top), fwhm / (2.0 * std::sqrt(2.0 * std::numbers::ln2)), base,
            slope };
    }

    /// The offset from the lower end, the peak above it, the half width at half maximum.
    Starts lorentzianStarts(const CurveFeatures& c)
    {
        const double offset = std::min(c.firstY(), c.lastY());
        const std::size_t top = c.peakIndex();
        const double height = c.y(top) - offset;
        return { height, c.x(top), fullWidthAt(c, top, offset + 0.5 * height) / 2.0, offset };
    }

    /// A x^b through the first and last points, the offset 0.
    Starts powerLawStarts(const CurveFeatures& c)
    {
        if (!c.allPositive() || c.firstX() == c.lastX())
            return { kUnknown, kUnknown, kUnknown };
        const double exponent = std::log(c.lastY() / c.firstY()) / std::log(c.lastX() / c.firstX());
        return { c.firstY() / std::pow(c.firstX(), exponent), exponent, kUnknown };
    }

    constexpr double kGasConstant = 8.314462618; // J/(mol K)

    /// ln y = ln A - Ea / (R x) through the first and last points.
    Starts arrheniusStarts(const CurveFeatures& c)
    {
        if (!c.allPositive() || c.firstX() == c.lastX())
            return { kUnknown, kUnknown };
        const double slope
            = (std::log(c.lastY()) - std::log(c.firstY())) / (1.0 / c.lastX() - 1.0 / c.firstX());
        const double energy = -slope * kGasConstant;
        return { c.firstY() * std::exp(energy / (kGasConstant * c.firstX())), energy };
    }

    /// A from the top; (x/lambda)^k is 1 where y = A (1 - 1/e) and 1/4 where y = A (1 - e^-1/4).
    Starts weibullStarts(const CurveFeatures& c)
    {
        const double top = c.maxY();
        const std::optional<double> scale = c.crossing(top * (1.0 - std::exp(-1.0)));
        const std::optional<double> quarter = c.crossing(top * (1.0 - std::exp(-0.25)));
        if (!scale || !quarter || !(*scale > 0.0) || !(*quarter > 0.0) || *quarter == *scale)
            return { top, orUnknown(scale), kUnknown };
        return { top, *scale, std::log(0.25) / std::log(*quarter / *scale) };
    }

    /// The largest |y - level| among the points of one half of the x range, and where it is.
    std::pair<double, double> biggestSwing(
        const CurveFeatures& c, double level, double from, double to)
    {
        std::pair<double, double> best { 0.0, from };
        for (std::size_t i = 0; i < c.size(); ++i) {
            if (c.x(i) >= from && c.x(i) <= to && std::fabs(c.y(i) - level) > best.first)
                best = { std::fabs(c.y(i) - level), c.x(i) };
        }
        return best;
    }

    /// The offset at the mean; the frequency from the crossings of it (half a period apart); the
    /// phase from the first crossing, rising or falling; the decay from the biggest swings of
    /// the two halves of the x range.
    Starts dampedSineStarts(const CurveFeatures& c)
    {
        const double offset = c.meanY();
        const std::vector<double> crossings = c.crossings(offset);
        double omega = kUnknown;
        double phase = kUnknown;
        if (crossings.size() >= 2) {
            const double halfPeriod = (crossings.back() - crossings.front())
                / static_cast<double>(crossings.size() - 1);
            omega = std::numbers::pi / halfPeriod;
            std::size_t next = 0;
            while (next < c.size() && c.x(next) <= crossings.front())
                ++next;
            const bool rising = next < c.size() && c.y(next) > offset;
            phase = (rising ? 0.0 : std::numbers::pi) - omega * crossings.front();
            phase = std::remainder(phase, 2.0 * std::numbers::pi);
        }
        const double middle = (c.firstX() + c.lastX()) / 2.0;
        const auto [early, earlyX] = biggestSwing(c, offset, c.firstX(), middle);
        const auto [late, lateX] = biggestSwing(c, offset, middle, c.lastX());
        const double decay = early > 0.0 && late > 0.0 && lateX > earlyX
            ? std::max(0.0, std::log(early / late) / (lateX - earlyX))
            : 0.0;
        return { early * std::exp(decay * earlyX), decay, omega, phase, offset };
    }

    EntryParameter starting(const char* name, double start) { return { name, start }; }

    const std::vector<Template>& templates()
    {
        // clang-format off
        static const std::vector<Template> kTemplates {
            { { "Exponential decay", "A*exp(-k*x) + C",
                { starting("A", 1), starting("k", 1), starting("C", 0) } }, decayStarts },
            { { "Double exponential", "A1*exp(-k1*x) + A2*exp(-k2*x) + C",
                { starting("A1", 1), starting("k1", 3), starting("A2", 1), starting("k2", 0.3),
                  starting("C", 0) } }, doubleDecayStarts },
            { { "Logistic", "L/(1 + exp(-k*(x - xmid)))",
                { starting("L", 1), starting("k", 1), starting("xmid", 0) } }, logisticStarts },
            { { "Gompertz", "a*exp(-b*exp(-c*x))",
                { starting("a", 1), starting("b", 1), starting("c", 1) } }, gompertzStarts },
            { { "Michaelis-Menten", "Vmax*x/(Km + x)",
                { starting("Vmax", 1), starting("Km", 1) } }, michaelisMentenStarts },
            { { "Hill", "Vmax*x^n/(K^n + x^n)",
                { starting("Vmax", 1), starting("K", 1), starting("n", 1) } }, hillStarts },
            { { "Gaussian peak", "A*exp(-(x - centre)^2/(2*width^2)) + base + slope*x",
                { starting("A", 1), starting("centre", 0), starting("width", 1),
                  starting("base", 0), starting("slope", 0) } }, gaussianStarts },
            { { "Lorentzian", "A/(1 + ((x - centre)/hwhm)^2) + C",
                { starting("A", 1), starting("centre", 0), starting("hwhm", 1),
                  starting("C", 0) } }, lorentzianStarts },
            { { "Power law", "A*x^b + C",
                { starting("A", 1), starting("b", 1), starting("C", 0) } }, powerLawStarts },
            { { "Arrhenius", "A*exp(-Ea/(8.314462618*x))",
                { starting("A", 1), starting("Ea", 1000) } }, arrheniusStarts },
            { { "Weibull", "A*(1 - exp(-(x/lambda)^k))",
                { starting("A", 1), starting("lambda", 1), starting("k", 1) } }, weibullStarts },
            { { "Damped sine", "A*exp(-decay*x)*sin(omega*x + phase) + C",
                { starting("A", 1), starting("decay", 0), starting("omega", 1),
                  starting("phase", 0), starting("C", 0) } }, dampedSineStarts },
        };
        // clang-format on
        return kTemplates;
    }

    bool sameName(std::string_view a, std::string_view b)
    {
        return a.size() == b.size()
            && std::equal(a.begin(), a.end(), b.begin(), [](char p, char q) {
                   return std::tolower(static_cast<unsigned char>(p))
                       == std::tolower(static_cast<unsigned char>(q));
               });
    }

    const Template* templateNamed(std::string_view name)
    {
        for (const Template& t : templates()) {
            if (sameName(t.entry.name, name))
                return &t;
        }
        return nullptr;
    }

} // namespace

const std::vector<EquationEntry>& equationTemplates()
{
    static const std::vector<EquationEntry> kEntries = [] {
        std::vector<EquationEntry> entries;
        for (const Template& t : templates())
            entries.push_back(t.entry);
        return entries;
    }();
    return kEntries;
}

bool isTemplateName(std::string_view name) { return templateNamed(name) != nullptr; }

EquationEntry templateWithStarts(const EquationEntry& templ, const EquationData& data)
{
    EquationEntry entry = templ;
    const Template* known = templateNamed(templ.name);
    const CurveFeatures curve(data);
    // Three points are the least that has a shape; fewer tell nothing a default does not.
    if (known == nullptr || curve.size() < 3 || curve.firstX() == curve.lastX())
        return entry;
    const Starts starts = known->derive(curve);
    // By name: the entry may list the template's parameters in an order of its own.
    for (EntryParameter& parameter : entry.parameters) {
        const std::vector<EntryParameter>& own = known->entry.parameters;
        const auto found = std::find_if(own.begin(), own.end(),
            [&](const EntryParameter& p) { return p.name == parameter.name; });
        const auto i = static_cast<std::size_t>(found - own.begin());
        if (!parameter.fixed && i < starts.size() && std::isfinite(starts[i]))
            parameter.start = starts[i];
    }
    return entry;
}

} // namespace quantem::equation
