// Voiding a line moves the whole lines below it up by one: every field goes
// with its line except the position in a fetched order, which stays with its
// slot.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/numbers.h"
#include "data/sale_state.h"
#include "key_fixture.h"

namespace tarvo {

// Every field, so that a failure shows which one differs.
void PrintTo(const SaleLine& l, std::ostream* os) {
    *os << "{key " << l.key << ", product " << l.product << ", description " << l.description << ", quantity "
        << Num_Text(l.quantity) << ", list " << l.listPrice.Text() << ", unit " << l.unitPrice.Text() << ", extension "
        << l.extension.Text() << ", priceUnits " << Num_Text(l.priceUnits) << ", tax " << l.taxFlags << ", department "
        << l.department << ", note " << l.note << ", hasNote " << l.hasNote << ", kit " << l.kitComponent << ", source "
        << l.sourceIndex << "}";
}

namespace {

// Line n with every field unlike that of its neighbours.
SaleLine Distinct(int n) {
    const std::string t = std::to_string(n);
    SaleLine l;
    l.key = "K" + t;
    l.product = "P" + t;
    l.description = "Description " + t;
    l.quantity = n + 0.5;
    l.listPrice = Money::FromUnits(n);
    l.unitPrice = Money::FromCents(n);
    // What the totals work out again after the void: n cents x (n + 0.5)
    // over n + 1 price units, to the cent, is n cents for lines 1 to 5.
    l.extension = Money::FromCents(n);
    l.priceUnits = n + 1;
    l.taxFlags = t;
    l.department = "D" + t;
    l.note = "Note " + t;
    l.hasNote = n % 2 == 1;
    l.kitComponent = n % 2 == 0;
    l.sourceIndex = static_cast<std::int16_t>(10 * n);
    return l;
}

class VoidLineTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        LoggedIn();
        for (int i = 1; i <= 5; ++i) gSale.gLines[static_cast<std::size_t>(i)] = Distinct(i);
        gSale.gItemCount = 5;
    }
};

TEST_F(VoidLineTest, EveryFieldButTheOrderPositionMovesUp) {
    Type("2");
    BOp_Click(2);

    ASSERT_EQ(gSale.gItemCount, 4);
    EXPECT_EQ(gSale.gLines[1], Distinct(1));
    for (int i = 2; i <= 4; ++i) {
        SaleLine expected = Distinct(i + 1);
        expected.sourceIndex = static_cast<std::int16_t>(10 * i);
        EXPECT_EQ(gSale.gLines[static_cast<std::size_t>(i)], expected) << "line " << i;
    }
}

}  // namespace
}  // namespace tarvo
