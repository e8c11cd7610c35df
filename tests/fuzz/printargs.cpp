// Prints each argument in hex, one a line.
#include <cstdio>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *c = argv[i]; *c; ++c)
            std::printf("%02x", static_cast<unsigned char>(*c));
        std::printf("\n");
    }
    return 0;
}
