// The visual-style marker: one per owner.
#include "widgets/WinXP.h"

#include <gtest/gtest.h>

#include "framework/Exception.h"

namespace {

TEST(WinXP, OnePerOwnerAndARefusedOneIsNotKept) {
    tmb::Component form(nullptr);
    tmb::Component other(nullptr);
    auto* first = new xp::TWinXP(&form);
    auto* plain = new tmb::Component(&form);
    EXPECT_EQ(2, form.ComponentCount());
    try {
        new xp::TWinXP(&form);
        ADD_FAILURE() << "a second marker on the same owner was accepted";
    } catch (const tmb::Exception& e) {
        EXPECT_EQ(L"Only one instance of TWinXP allowed on form", e.Message());
    }
    ASSERT_EQ(2, form.ComponentCount());
    EXPECT_EQ(first, form.Components()[0]);
    EXPECT_EQ(plain, form.Components()[1]);

    // Another owner counts only its own.
    EXPECT_NO_THROW(new xp::TWinXP(&other));
    EXPECT_EQ(1, other.ComponentCount());
    // Without an owner there is nothing to count.
    xp::TWinXP loose(nullptr);
    xp::TWinXP loose2(nullptr);
    EXPECT_EQ(nullptr, loose2.Owner());
}

} // namespace
