#include <unistd.h>

#include <cstdio>

#include <cstring>

#include "tools/AppIcon.h"
#include "tools/ContentGenerator.h"

// ridgeline_content <data folder>: writes every missing generated file.
// ridgeline_content --icons <folder>: writes the program's icon in every
// size, as an icon theme's folders below <folder>.
int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--icons") == 0) {
        return CAppIcon::WriteTheme(argv[2]) ? 0 : 1;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: %s <data folder> | --icons <folder>\n", argv[0]);
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
