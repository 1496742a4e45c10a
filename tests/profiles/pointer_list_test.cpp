#include "profiles/pointer_list.h"

#include <gtest/gtest.h>

// The list keeps every entry, in order, however many there are; erasing takes out each copy of
// the entry and closes the gap.
TEST(pointer_list, keeps_every_entry_in_order_as_it_grows_and_after_erasing) {
    int values[100];
    PointerList<int> list;
    for (int& value : values)
        list.push_back(&value);
    list.push_back(&values[7]);
    list.erase(&values[7]);
    list.erase(&values[0]);
    ASSERT_EQ(98u, list.size());
    for (std::size_t i = 0; i < 98; ++i)
        EXPECT_EQ(&values[i < 6 ? i + 1 : i + 2], list[i]) << i;
}
