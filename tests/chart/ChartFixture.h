#pragma once

#include "core/Session.h"
#include "support/Recording.h"
#include "support/RecordingCanvas.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <string>

namespace quantem::chart::test {

/// A session on a fresh root with recording ports and a recording canvas.
class ChartTest : public ::testing::Test
{
protected:
    ChartTest()
        : session(root.path())
    {
        session.shell = &shell;
        session.questions = &questions;
    }

    /// xx.sys as model selection leaves it ("1,1,1,7", "0,,0,52").
    void chooseModel(const std::string& record) const
    {
        root.writeFile("sys/xx.sys", record + "\r\n");
    }

    /// A regression has left its report and the sample count in the main window.
    void fitted(const std::string& sampleCount)
    {
        session.form1.Text2 = sampleCount;
        session.form1.Text5 = "What you did is ...";
    }

    /// The user closes every message window: the next showing starts from the standing text.
    void dismissMessages()
    {
        for (auto id : { core::MessageWindowId::Form5, core::MessageWindowId::Form6,
                 core::MessageWindowId::Form9 })
            session.messages.unload(id);
    }

    /// The window and text of the last message window shown ("" when none was).
    std::string lastMessage() const
    {
        const auto& log = session.messages.log();
        if (log.empty())
            return "";
        return std::string(core::messageWindowName(log.back().window)) + ":" + log.back().text;
    }

    quantem::test::TempRoot root;
    core::Session session;
    quantem::test::RecordingShell shell;
    quantem::test::ScriptedQuestions questions;
    quantem::test::RecordingCanvas canvas;
};

} // namespace quantem::chart::test
