#include "directory/directory.h"

#include <cstdio>

int main()
{
    const auto code = directory::codeForCity("苏州");
    std::printf("%.*s %.*s\n", int(code->size()), code->data(), int(directory::regionForCode("0512").size()),
                directory::regionForCode("0512").data());
    return 0;
}
