#include "engine_linear/ReportLines.h"

namespace quantem::linear {

void appendTestParameterLines(std::vector<std::string>& lines, const core::Form1& form)
{
    lines.push_back("   Correlation coefficient(R):" + form.Label17);
    lines.push_back("      Statistical variable(F):" + form.Label18);
    lines.push_back("Residue standard deviation(S):" + form.Label19);
    lines.push_back("                Biggest error:" + form.Label20);
    lines.push_back("                  Equal error:" + form.Label21);
    lines.push_back("         Equal relating error:" + form.Label22);
}

std::string joinReportLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

} // namespace quantem::linear
