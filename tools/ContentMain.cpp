#include <unistd.h>

#include <cstdio>

#include "tools/ContentGenerator.h"

// ridgeline_content <data folder>: writes every missing generated file.
int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    // The game's file layer keeps reads and writes inside the working
    // directory, so the data folder becomes it.
    if (chdir(argv[1]) != 0) {
        fprintf(stderr, "%s: cannot enter %s\n", argv[0], argv[1]);
        return 1;
    }
    CContentGenerator generator(".");
    const bool        ok = generator.Run();
    printf("content: %d file(s) written into %s\n", generator.GetWrittenCount(), argv[1]);
    return ok ? 0 : 1;
}
