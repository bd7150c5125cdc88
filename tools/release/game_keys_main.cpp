// Writes the GAME KEYS document of the release: game_keys [FILE]
// Without FILE it prints the document, as ./play --keys does.
#include <cstdio>

#include "tools/release/game_keys.h"

int main(int argc, char** argv)
{
    if (argc > 2) {
        fprintf(stderr, "usage: game_keys [FILE]\n");
        return 2;
    }
    FILE* file = argc == 2 ? fopen(argv[1], "wb") : stdout;
    if (!file) {
        fprintf(stderr, "game_keys: cannot write %s\n", argv[1]);
        return 2;
    }
    const std::string text = GameKeysText();
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    written = fclose(file) == 0 && written;
    return written ? 0 : 1;
}
