// The lookups run on every keystroke and choice; they must never reach the
// heap. This binary replaces the global allocation functions to count calls.

#include "directory/directory.h"
#include "lookup_probes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {
std::atomic<long> g_allocations{0};
}

void *operator new(std::size_t size)
{
    ++g_allocations;
    if (void *p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

// The nothrow form too, which GoogleTest 1.16 (Debian 13) uses: left to the
// sanitizer, what it allocates would come back to the std::free below, a
// mismatch it stops at.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

TEST(Lookups, NeverAllocate)
{
    // Build every input first, so that only the lookups run while counting.
    std::vector<std::string> inputs;
    for (const std::string_view province : directory::provinceNames()) {
        for (std::string &text : probes::around(province))
            inputs.push_back(std::move(text));
        for (const std::string_view city : directory::selectProvince(province).cities)
            for (std::string &text : probes::around(city))
                inputs.push_back(std::move(text));
    }
    for (const char *code : {"", "010", "0512", "852", "0565", "０１０"})
        inputs.emplace_back(code);
    inputs.push_back(probes::huge("0512"));

    const long before = g_allocations.load();
    std::size_t answered = 0;
    for (const std::string &text : inputs) {
        answered += directory::selectProvince(text).cities.size();
        answered += directory::codeForCity(text).value_or("").size();
        answered += directory::regionForCode(text).size();
        answered += directory::provinceNames().size();
    }
    const long during = g_allocations.load() - before;

    EXPECT_GT(answered, 0u);
    EXPECT_EQ(during, 0) << "allocations while looking up " << inputs.size() << " inputs";
}

TEST(Lookups, CountingWorks)
{
    // Guards the test above against a counter that never moves.
    const long before = g_allocations.load();
    void *volatile probe = ::operator new(64);
    ::operator delete(probe);
    EXPECT_GT(g_allocations.load(), before);
}

} // namespace
