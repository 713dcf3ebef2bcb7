#pragma once

#include "core/Session.h"
#include "support/Recording.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace quantem::test {

/// A session on a fresh install root with a recording shell and scripted questions.
class SessionFixture : public ::testing::Test
{
protected:
    SessionFixture()
    {
        session.shell = &shell;
        session.questions = &questions;
    }

    TempRoot root;
    core::Session session { root.path() };
    RecordingShell shell;
    ScriptedQuestions questions;
};

} // namespace quantem::test
