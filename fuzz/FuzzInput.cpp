#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

std::string WriteFuzzInput(const uint8_t* data, size_t size, const char* name) {
    FILE* file = fopen(name, "wb");
    if (file == nullptr) {
        abort();
    }
    fwrite(data, 1, size, file);
    fclose(file);
    return name;
}
