#include "shell/prompt_exit.h"

#include <cstdio>
#include <unistd.h>

namespace ruzez {

void endProcessNow(int code)
{
    std::fflush(nullptr);
    ::_exit(code);
}

} // namespace ruzez
