// The module's own on-screen texts, served to the host by key.
#pragma once

struct TextRow {
    const char* key;       // ASCII, begins with '!', at most 7 characters
    const char16_t* text;  // UTF-16, with the host's ~r~ ~b~ ~h~ codes
};

extern const TextRow kTextTable[];
extern const int kTextRowCount;

// The text of the first row (from row 1) whose key equals the given key, ASCII
// letters compared without case; the default row's "NOT FOUND" otherwise.
const char16_t* LookupCustomText(const char* key);
