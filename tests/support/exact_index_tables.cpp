// Tables an index is built over at compile time. As it stands this compiles;
// with one of the macros below defined it must not, and the compiler must
// name the broken rule (CTest checks both).

#include "directory/exact_index.h"

#include <functional>
#include <string_view>

namespace {

constexpr std::string_view keys[] = {
    "苏州", "无锡", "常州",
#if defined(A_KEY_REPEATS)
    "无锡",
#endif
#if defined(MORE_ROWS_THAN_SLOTS)
    "南京", "镇江", "扬州", "南通", "泰州",
#endif
};

constexpr directory::detail::ExactIndex<std::string_view, std::identity{}, 8> index{keys};
static_assert(index.contains("常州") && !index.contains("常"));

} // namespace

int main()
{
    return index.find("苏州") == &keys[0] ? 0 : 1;
}
