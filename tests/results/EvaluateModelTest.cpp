#include "results/EvaluateModel.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "support/Expect.h"
#include "support/ModelSamples.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace quantem::results {
namespace {

    using core::FaultCode;

    int faultOf(
        core::ModelId model, const CoefficientSet& c, double x1, double x2 = 1.5, double x3 = 2.5)
    {
        return quantem::test::faultOf([&] { evaluateModel(model, c, x1, x2, x3); });
    }

    using quantem::test::coefficientSet;

    TEST(EvaluateModel, ValuesAndFaultClassesOfTheFormulas)
    {
        EXPECT_EQ(evaluateModel(1, coefficientSet({ 2, 3 }), 4, 0, 0), 14.0);
        // A whole exponent is still a real power: x1 ^ 2 at -3 is 9, x1 ^ 0.5 at -3 fails.
        EXPECT_EQ(evaluateModel(7, coefficientSet({ 0, 1 }, { 2 }), -3, 0, 0), 9.0);
        EXPECT_EQ(
            faultOf(7, coefficientSet({ 0, 1 }, { 0.5 }), -3), int(FaultCode::InvalidArgument));
        EXPECT_EQ(faultOf(8, coefficientSet({ 1, 2 }), 0.0), int(FaultCode::InvalidArgument));
        EXPECT_EQ(faultOf(8, coefficientSet({ 1, 2 }), -2.5), int(FaultCode::InvalidArgument));
        EXPECT_EQ(faultOf(9, coefficientSet({ 1, 2 }), 710.0), int(FaultCode::Overflow));
        EXPECT_EQ(faultOf(9, coefficientSet({ 1, 2 }), 700.0), 0);
        EXPECT_EQ(faultOf(4, coefficientSet({ 1, 2 }), 0.0), int(FaultCode::DivisionByZero));
        EXPECT_EQ(
            faultOf(7, coefficientSet({ 1, 2 }, { -0.5 }), 0.0), int(FaultCode::DivisionByZero));
        EXPECT_EQ(
            faultOf(7, coefficientSet({ 1, 1E+300 }, { 2 }), 1E+10), int(FaultCode::Overflow));
        EXPECT_EQ(faultOf(1, coefficientSet({ 1, 2 }), std::numeric_limits<double>::quiet_NaN()),
            int(FaultCode::TypeMismatch));
        // Inverse ratio divides the coefficient: a1 / x1, not a1 * (1 / x1).
        EXPECT_EQ(evaluateModel(4, coefficientSet({ 0, 0.7 }), 1.1, 0, 0), 0.7 / 1.1);
        EXPECT_NE(0.7 / 1.1, 0.7 * (1 / 1.1));
        // Ids without a formula give no value.
        for (core::ModelId id : { 0, 51, 52, 53 })
            EXPECT_FALSE(evaluateModel(id, coefficientSet({ 1, 2 }), 1, 1, 1).has_value()) << id;
    }

    // An independent reading of the catalogue's formula text: "y = a0 + a1 * x1 ^ k1 + ...", with
    // ^ above * and /, above +, each level left to right, through the checked operations.
    class FormulaReader
    {
    public:
        FormulaReader(
            std::string_view text, const CoefficientSet& c, double x1, double x2, double x3)
            : m_text(text)
            , m_c(c)
            , m_x { x1, x2, x3 }
        {
        }

        double read()
        {
            expect("y = ");
            double y = product();
            while (skip(" + "))
                y = core::add(y, product());
            EXPECT_EQ(m_pos, m_text.size());
            return y;
        }

    private:
        double product()
        {
            double value = powerOf();
            while (true) {
                if (skip(" * "))
                    value = core::multiply(value, powerOf());
                else if (skip(" / "))
                    value = core::divide(value, powerOf());
                else
                    return value;
            }
        }

        double powerOf()
        {
            const double base = atom();
            if (!skip(" ^ "))
                return base;
            return core::power(base, atom());
        }

        double atom()
        {
            if (skip("Log("))
                return closing(core::naturalLog(atom()));
            if (skip("Exp("))
                return closing(core::exponential(atom()));
            const char kind = m_text[m_pos];
            const int number = m_text[m_pos + 1] - '0';
            m_pos += 2;
            switch (kind) {
            case 'a':
                return m_c.a[static_cast<std::size_t>(number)];
            case 'k':
                return m_c.k[static_cast<std::size_t>(number - 1)];
            case 'x':
                return m_x[static_cast<std::size_t>(number - 1)];
            }
            ADD_FAILURE() << "unexpected " << m_text.substr(m_pos - 2);
            return 0;
        }

        double closing(double value)
        {
            expect(")");
            return value;
        }

        bool skip(std::string_view token)
        {
            if (m_text.substr(m_pos, token.size()) != token)
                return false;
            m_pos += token.size();
            return true;
        }

        void expect(std::string_view token) { EXPECT_TRUE(skip(token)) << m_text.substr(m_pos); }

        std::string_view m_text;
        CoefficientSet m_c;
        double m_x[3];
        std::size_t m_pos = 0;
    };

    TEST(EvaluateModel, EveryModelIsItsFormulaTextToTheBit)
    {
        // Coefficients and inputs with many significant bits, so that any change of operation
        // order shows in the last bits.
        const CoefficientSet c
            = coefficientSet({ 1.2345678901234, -2.718281828459, 0.3183098861838, 1.4142135623731,
                                 -0.5772156649015, 2.2360679774998, 0.6931471805599 },
                { 0.731, -1.217, 1.4142, 0.577, -0.3183, 1.1 });
        const double inputs[][3] = { { 1.7320508, 2.6457513, 0.9486833 },
            { 3.3166248, 0.4472136, 1.9364917 }, { 0.6324555, 1.2247449, 2.2135944 } };
        for (const core::ModelDescriptor& model : core::allModels()) {
            if (core::groupSize(model.id) == 0)
                continue;
            for (const auto& x : inputs) {
                SCOPED_TRACE(std::string(model.formulaText));
                const double expected
                    = FormulaReader(model.formulaText, c, x[0], x[1], x[2]).read();
                const std::optional<double> y = evaluateModel(model.id, c, x[0], x[1], x[2]);
                ASSERT_TRUE(y.has_value());
                EXPECT_EQ(*y, expected) << model.id;
            }
        }
    }

    TEST(EvaluateModel, PublishedCoefficientsAreReadByTheModelsCounts)
    {
        quantem::test::TempRoot root;
        const core::ScratchStore store(root.path());
        root.writeFile("sys/XB.sys", "1,2,3,4,5,0.5,0.75,1.5,-0.25,0.125,2\r\n0.9,3.5,0.25\r\n");
        const CoefficientSet c24 = readPublishedCoefficients(store, 24);
        EXPECT_EQ(c24.a, (std::array<double, 7> { 1, 2, 3, 4, 5, 0, 0 }));
        EXPECT_EQ(c24.k, (std::array<double, 6> { 0.5, 0.75, 1.5, -0.25, 0.125, 2 }));
        const CoefficientSet c7 = readPublishedCoefficients(store, 7);
        EXPECT_EQ(c7.a, (std::array<double, 7> { 1, 2, 0, 0, 0, 0, 0 }));
        EXPECT_EQ(c7.k, (std::array<double, 6> { 3, 0, 0, 0, 0, 0 }));

        root.writeFile("sys/XB.sys", "1,2,3\r\n");
        try {
            readPublishedCoefficients(store, 24); // 11 numbers wanted, the second line missing
            ADD_FAILURE() << "no fault";
        } catch (const core::Fault& fault) {
            EXPECT_EQ(fault.code(), FaultCode::InputPastEndOfFile);
        }
    }

} // namespace
} // namespace quantem::results
