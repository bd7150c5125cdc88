#include "text/text_table.h"

const TextRow kTextTable[] = {
    { "", u"NOT FOUND" },
};
const int kTextRowCount = sizeof kTextTable / sizeof kTextTable[0];

const char16_t* LookupCustomText(const char*)
{
    return kTextTable[0].text;
}
