#include "app/ShownModelRegression.h"

#include "app/ModelSelection.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace quantem::app {
namespace {

    TEST(ShownModelRegression, AnXxSysWithoutAModelNumberIsLeftToTheRegressionItself)
    {
        // Missing, cut short, or with a model item that is no number: the regression writes its
        // first files and meets the fault where it always has.
        for (const char* stored : { "", "1,1,1", "1,1,1,seven\r\n" }) {
            SCOPED_TRACE(stored);
            test::TempRoot root;
            core::Session session { root.path() };
            selectModel(session, 7);
            setSampleCountText(session, "8");
            if (*stored == '\0')
                std::filesystem::remove(root.sys("xx.sys"));
            else
                root.writeFile("sys/xx.sys", stored);
            EXPECT_FALSE(storedModel(session));
            runCommand(session, [&] { regressShownModel(session, Route::Menu); });
            EXPECT_EQ(root.readSys("da.sys"), "1\r\n");
            ASSERT_FALSE(session.messages.log().empty());
            EXPECT_EQ(session.messages.log().back().window, core::MessageWindowId::Form5);
        }
    }

} // namespace
} // namespace quantem::app
