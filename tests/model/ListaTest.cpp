// Tests of the growable named list of the model reader.
#include "model/objLoader.h"
#include "support/CaptureOutput.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A list whose items are the addresses of a local table, so identities are easy to check.
class ListaTest : public testing::Test {
protected:
    ~ListaTest() override { lista_free(&list); }

    void Make(int size, char growable) { lista_make(&list, size, growable); }

    lista list{};
    int values[32] = {};
};

TEST_F(ListaTest, GrowsFromTenToTwentyKeepingEntriesAndNames)
{
    Make(10, 1);
    for (int index = 0; index < 10; ++index)
        ASSERT_EQ(index, lista_add_item(&list, &values[index], ("entry" + std::to_string(index)).c_str()));
    EXPECT_EQ(10, list.capacity);
    EXPECT_TRUE(lista_is_full(&list));

    EXPECT_EQ(10, lista_add_item(&list, &values[10], "entry10"));
    EXPECT_EQ(20, list.capacity);
    EXPECT_EQ(11, list.count);
    for (int index = 0; index <= 10; ++index) {
        EXPECT_EQ(&values[index], lista_get_index(&list, index));
        EXPECT_STREQ(("entry" + std::to_string(index)).c_str(), list.names[index]);
    }
    EXPECT_EQ(nullptr, lista_get_index(&list, 11));
    EXPECT_EQ(nullptr, lista_get_index(&list, -1));
}

TEST_F(ListaTest, FullFixedListRefusesAnAddition)
{
    Make(2, 0);
    lista_add_item(&list, &values[0], "a");
    lista_add_item(&list, &values[1], "b");
    EXPECT_EQ(-1, lista_add_item(&list, &values[2], "c"));
    EXPECT_EQ(2, list.count);
    EXPECT_EQ(2, list.capacity);
    EXPECT_EQ(-1, lista_find(&list, "c"));
}

TEST_F(ListaTest, ListMadeWithoutSlotsStillGrows)
{
    Make(0, 1);
    for (int index = 0; index < 5; ++index)
        EXPECT_EQ(index, lista_add_item(&list, &values[index], nullptr));
    EXPECT_EQ(&values[4], lista_get_index(&list, 4));
}

TEST_F(ListaTest, LookupsMatchNamePrefixesAndHeldPointers)
{
    Make(10, 1);
    EXPECT_EQ(-1, lista_find(&list, ""));
    EXPECT_EQ(nullptr, lista_get_name(&list, "Mat"));

    lista_add_item(&list, &values[0], nullptr);
    lista_add_item(&list, &values[1], "Material");
    lista_add_item(&list, &values[2], "Mat");
    // The unnamed entry never matches, not even the empty name.
    EXPECT_EQ(1, lista_find(&list, "Mat"));
    EXPECT_EQ(1, lista_find(&list, ""));
    EXPECT_EQ(1, lista_find(&list, "Mate"));
    EXPECT_EQ(-1, lista_find(&list, "Materials"));
    EXPECT_EQ(&values[1], lista_get_name(&list, "Mat"));
    EXPECT_EQ(nullptr, lista_get_name(&list, "X"));
    EXPECT_EQ(nullptr, list.names[0]);
    EXPECT_EQ(&values[2], lista_get_item(&list, &values[2]));
    EXPECT_EQ(nullptr, lista_get_item(&list, &values[3]));
}

TEST_F(ListaTest, DeletionsCloseTheGapAndRemoveAdjacentMatches)
{
    Make(10, 1);
    lista_add_item(&list, &values[0], "a");
    lista_add_item(&list, &values[1], "ab");
    lista_add_item(&list, &values[2], "b");
    lista_add_item(&list, &values[0], "c");
    lista_add_item(&list, &values[0], "d");

    lista_delete_name(&list, "a");
    ASSERT_EQ(3, list.count);
    EXPECT_STREQ("b", list.names[0]);

    lista_delete_item(&list, &values[0]);
    ASSERT_EQ(1, list.count);
    EXPECT_EQ(&values[2], lista_get_index(&list, 0));

    lista_delete_name(&list, nullptr);
    lista_delete_index(&list, 1);
    lista_delete_index(&list, -1);
    EXPECT_EQ(1, list.count);

    lista_delete_index(&list, 0);
    EXPECT_EQ(0, list.count);
}

TEST_F(ListaTest, PrintersWriteTheirExactFormat)
{
    Make(10, 1);
    const Captured empty = CaptureOutput([&] { lista_print_lista(&list); });
    EXPECT_EQ("count: 0/10\n", empty.out);

    lista_add_item(&list, &values[0], "first");
    lista_add_item(&list, &values[1], nullptr);
    lista_add_item(&list, &values[2], "third");
    int result = -1;
    const Captured items = CaptureOutput([&] { result = lista_print_items(&list); });
    EXPECT_EQ(0, result);
    EXPECT_EQ("first\n\nthird\n", items.out);
    const Captured whole = CaptureOutput([&] { lista_print_lista(&list); });
    EXPECT_EQ("count: 3/10\nlista[0]: first\nlista[1]: \nlista[2]: third\n", whole.out);
}

// With the address space capped at 1 GiB, the slots (1 GiB or more per array) cannot be had.
void MakeHugeListInCappedMemory()
{
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 1u << 30;
    setrlimit(RLIMIT_AS, &limit);
    lista list;
    lista_make(&list, 1 << 28, 1);
}

// True when a 1 GiB cap on the address space stops a 1.5 GiB allocation here, tried in a child
// process (1.5 GiB, as one object must stay under 2 GiB on 32-bit machines). qemu-user does not apply a program's RLIMIT_AS: under it nothing can make the
// allocation fail.
bool AddressSpaceCapHolds()
{
    const pid_t child = fork();
    if (child == 0) {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 1u << 30;
        setrlimit(RLIMIT_AS, &limit);
        void* volatile const block = std::malloc(size_t(3) << 29);
        _exit(block == nullptr ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ListaDeathTest, FailedAllocationEndsTheProcessWithAMessage)
{
    if (!AddressSpaceCapHolds())
        GTEST_SKIP() << "a capped address space does not stop a 1.5 GiB allocation here (qemu-user ignores RLIMIT_AS)";
    EXPECT_EXIT(MakeHugeListInCappedMemory(), testing::ExitedWithCode(EXIT_FAILURE), "Out of memory");
}

} // namespace
