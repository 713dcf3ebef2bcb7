#include "results/Calculator.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/NumberText.h"
#include "core/TermTable.h"
#include "results/EvaluateModel.h"

#include <array>
#include <optional>

namespace quantem::results {

using core::FaultCode;
using core::Form11;
using core::MessageWindowId;
using core::ModelId;
using core::Session;

namespace {

    // Status panel 2 tells what the user last did; a notice of an earlier action goes.
    void tell(Form11& form, const char* action)
    {
        form.StatusBar1[0].clear();
        form.StatusBar1[1] = action;
    }

    ModelId readChosenModel(const core::ScratchStore& store)
    {
        return core::toInteger16(store.readNumbers(core::ScratchFile::Xx, 4)[3]);
    }

    // The coefficients as the main window shows them, so the results agree with what the user
    // reads there; labels a model leaves empty give 0.
    CoefficientSet labelCoefficients(const core::Form1& form1)
    {
        CoefficientSet set;
        for (int i = 0; i < 7; ++i)
            set.a[static_cast<std::size_t>(i)] = core::val(form1.label(2 + i));
        for (int r = 0; r < 6; ++r)
            set.k[static_cast<std::size_t>(r)] = core::val(form1.label(11 + r));
        return set;
    }

    std::string& inputText(Form11& form, CalculatorInput input)
    {
        switch (input) {
        case CalculatorInput::Text1:
            return form.Text1;
        case CalculatorInput::Text2:
            return form.Text2;
        case CalculatorInput::Text3:
            break;
        }
        return form.Text3;
    }

    const char* enteringText(CalculatorInput input)
    {
        switch (input) {
        case CalculatorInput::Text1:
            return "Input the first dimension.";
        case CalculatorInput::Text2:
            return "Input the secondly dimension.";
        case CalculatorInput::Text3:
            break;
        }
        return "Input the third dimension.";
    }

    // The inputs a model needs must not be empty; only emptiness is tested here, a text that is
    // not a number fails when it is converted.
    std::optional<const char*> missingInputText(const Form11& form, ModelId model)
    {
        switch (core::groupSize(model)) {
        case 2:
            if (form.Text1.empty())
                return kInputDimensionText;
            break;
        case 3:
            if (form.Text1.empty() || form.Text2.empty())
                return kInputDimensionsText;
            break;
        case 4:
            if (form.Text1.empty() || form.Text2.empty() || form.Text3.empty())
                return kInputDimensionsText;
            break;
        default:
            break;
        }
        return std::nullopt;
    }

    // The whole text as a number, blanks and tabs around it allowed. Throws 13 when it is not a
    // number, 6 beyond the double range.
    double typedNumber(const std::string& text)
    {
        const std::size_t first = text.find_first_not_of(" \t");
        const std::size_t last = text.find_last_not_of(" \t");
        double value = 0.0;
        if (first == std::string::npos
            || !core::parseNumber(std::string_view(text).substr(first, last - first + 1), value))
            throw core::Fault(FaultCode::TypeMismatch);
        return value;
    }

    // Why a typed input gives no result, in status panel 1.
    std::string notANumberText(CalculatorInput input, const std::string& text)
    {
        static constexpr const char* kBoxes[] = { "Input the first dimension",
            "Input the secondly dimension", "Input the third dimension" };
        return std::string(kBoxes[static_cast<int>(input) - 1]) + ": \"" + text
            + "\" is not a number.";
    }

    // Which of x1..x3 the model's formula uses: only those are converted.
    std::array<bool, 3> variablesUsed(ModelId model)
    {
        std::array<bool, 3> used {};
        for (const core::Term& term : core::termsOf(model)) {
            for (int f = 0; f < term.count; ++f) {
                const int variable = term.factors[static_cast<std::size_t>(f)].variable;
                used[static_cast<std::size_t>(variable - 1)] = true;
            }
        }
        return used;
    }

    void unload(Form11& form)
    {
        const int showings = form.showings;
        form = Form11 {};
        form.showings = showings;
    }

} // namespace

void showCalculator(Session& session)
{
    Form11& form = session.form11;
    if (!form.loaded) {
        const ModelId model = readChosenModel(session.store);
        unload(form);
        form.loaded = true;
        switch (core::groupSize(model)) {
        case 2:
            form.Text1Enabled = true;
            form.Text2Enabled = false;
            form.Text3Enabled = false;
            break;
        case 3:
            form.Text1Enabled = true;
            form.Text2Enabled = true;
            form.Text3Enabled = false;
            break;
        case 4:
            form.Text1Enabled = true;
            form.Text2Enabled = true;
            form.Text3Enabled = true;
            break;
        default:
            break;
        }
    }
    form.visible = true;
    ++form.showings;
}

void changeCalculatorInput(Session& session, CalculatorInput input, const std::string& text)
{
    std::string& box = inputText(session.form11, input);
    if (box == text)
        return;
    box = text;
    session.form11.StatusBar1[1] = enteringText(input);
}

void calculate(Session& session)
{
    Form11& form = session.form11;
    tell(form, "Calculate");
    const ModelId model = readChosenModel(session.store);
    const CoefficientSet coefficients = labelCoefficients(session.form1);
    if (const std::optional<const char*> missing = missingInputText(form, model)) {
        session.messages.show(MessageWindowId::Form5, std::string(*missing));
        return;
    }
    // An input that is not a number leaves no result: a previous one beside the new input
    // would read as its value.
    const std::array<bool, 3> used = variablesUsed(model);
    std::array<double, 3> x {};
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!used[i])
            continue;
        const auto input = static_cast<CalculatorInput>(i + 1);
        try {
            x[i] = typedNumber(inputText(form, input));
        } catch (const core::Fault&) {
            form.Text4.clear();
            form.StatusBar1[0] = notANumberText(input, inputText(form, input));
            return;
        }
    }
    try {
        const std::optional<double> y = evaluateModel(model, coefficients, x[0], x[1], x[2]);
        form.Text4 = y ? core::doubleText(*y) : std::string();
    } catch (const core::Fault& fault) {
        // Only an invalid argument is worth a word to the user; the window's last result stays.
        if (fault.code() == FaultCode::InvalidArgument)
            session.messages.show(MessageWindowId::Form5);
    }
}

void clearCalculator(Session& session)
{
    Form11& form = session.form11;
    tell(form, "Clear");
    // Emptying a box that held text is a change of it, so panel 2 ends up telling the last
    // box emptied, as typing into it would.
    changeCalculatorInput(session, CalculatorInput::Text1, "");
    changeCalculatorInput(session, CalculatorInput::Text2, "");
    changeCalculatorInput(session, CalculatorInput::Text3, "");
    form.Text4.clear();
}

void calculatorHelp(Session& session)
{
    Form11& form = session.form11;
    tell(form, "Help");
    const std::string& page = session.addresses.help;
    if (session.shell == nullptr || !session.shell->openPage(page))
        form.StatusBar1[0] = "The help page could not be opened: " + page;
}

void closeCalculator(Session& session)
{
    tell(session.form11, "Close");
    unload(session.form11);
}

void unloadCalculator(Session& session) { unload(session.form11); }

} // namespace quantem::results
