#pragma once

#include "equation/Formula.h"

#include <gtest/gtest.h>

#include <string>

namespace quantem::equation {

/// The tape of a formula the test expects to compile; an empty tape (and a failure) if not.
inline Tape compiled(const std::string& text)
{
    CompileResult result = compileFormula(text);
    EXPECT_TRUE(result.tape) << text << ": " << result.error.message;
    return result.tape ? *result.tape : Tape {};
}

} // namespace quantem::equation
