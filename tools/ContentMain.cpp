#include <cstdio>

#include "tools/ContentGenerator.h"

// ridgeline_content <data folder>: writes every missing generated file.
int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    CContentGenerator generator(argv[1]);
    const bool        ok = generator.Run();
    printf("content: %d file(s) written into %s\n", generator.GetWrittenCount(), argv[1]);
    return ok ? 0 : 1;
}
