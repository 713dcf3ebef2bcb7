#include "support/Recording.h"

namespace quantem::test {

bool RecordingShell::startProgram(const std::filesystem::path& path)
{
    calls.push_back("start " + path.string());
    return succeed;
}

bool RecordingShell::openPage(const std::string& address)
{
    calls.push_back("page " + address);
    return succeed;
}

bool RecordingShell::startEmail(const std::string& address)
{
    calls.push_back("email " + address);
    return succeed;
}

core::Answer ScriptedQuestions::askYesNoCancel(const std::string& text, const std::string& title)
{
    asked.push_back("ask " + title + "|" + text);
    if (answers.empty())
        return core::Answer::Cancel;
    const core::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::filesystem::path ScriptedQuestions::saveFileName(
    const std::string& filter, const std::string& defaultExtension)
{
    asked.push_back("save " + filter + " " + defaultExtension);
    if (fileNames.empty())
        return {};
    std::filesystem::path name = fileNames.front();
    fileNames.pop_front();
    return name;
}

void CountingProgress::progress(const core::Form1& form1)
{
    ++calls;
    panel4.push_back(form1.StatusBar1[3]);
}

} // namespace quantem::test
