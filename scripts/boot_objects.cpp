// The model commands near given points and the objects placed by the boot
// script, in the order it sends them.
#include "scripts/boot_data.h"

// 0x0363 with a last int of 0, 0x03B6 with a second model of -26. Rows 1 to 14
// are sent before the objects, rows 15 to 18 after them.
// clang-format off
const ModelCommandRow kModelCommands[] = {
    //   cmd          x          y         z  radius  model  last
    { 0x0363,   692.25f,  -933.75f,    21.0f,  50.0f,   -25,    0 },  // 1
    { 0x03B6,   692.25f,  -933.75f,    21.0f,  50.0f,   -25,  -26 },  // 2
    { 0x0363, -618.159f, -629.847f, 80.7116f,  50.0f,  -198,    0 },  // 3
    { 0x0363, -618.159f, -629.847f, 80.7116f,  50.0f,  -199,    0 },  // 4
    { 0x0363, -614.438f, -631.564f, 49.0088f,  50.0f,  -200,    0 },  // 5
    { 0x0363, -618.637f, -630.543f, 134.071f,  70.0f,  -201,    0 },  // 6
    { 0x0363, -618.159f, -629.847f, 80.7116f,  50.0f,  -202,    0 },  // 7
    { 0x0363, -618.637f, -630.543f, 134.071f,  70.0f,  -203,    0 },  // 8
    { 0x03B6, -618.159f, -629.847f, 80.7116f,  50.0f,  -198,  -26 },  // 9
    { 0x03B6, -618.159f, -629.847f, 80.7116f,  50.0f,  -199,  -26 },  // 10
    { 0x03B6, -614.438f, -631.564f, 49.0088f,  50.0f,  -200,  -26 },  // 11
    { 0x03B6, -618.637f, -630.543f, 134.071f,  70.0f,  -201,  -26 },  // 12
    { 0x03B6, -618.159f, -629.847f, 80.7116f,  50.0f,  -202,  -26 },  // 13
    { 0x03B6, -618.637f, -630.543f, 134.071f,  70.0f,  -203,  -26 },  // 14
    // After the objects.
    { 0x0363,  -1888.1f, -906.715f,  21.749f,  80.0f,  -187,    0 },  // 15
    { 0x03B6,  -1888.1f, -906.715f,  21.749f,  80.0f,  -187,  -26 },  // 16
    { 0x0363,  109.188f,  -1446.1f, 51.5171f,  80.0f,  -188,    0 },  // 17
    { 0x03B6,  109.188f,  -1446.1f, 51.5171f,  80.0f,  -188,  -26 },  // 18
};
// clang-format on
static_assert(sizeof kModelCommands / sizeof kModelCommands[0] == kModelCommandCount, "one row per command");

// The first six stand at the points of the model commands of the same model.
// clang-format off
const ObjectRow kObjects[] = {
    // model          x          y         z
    {  -198, -618.159f, -629.847f, 80.7116f },  // 1
    {  -199, -618.159f, -629.847f, 80.7116f },  // 2
    {  -200, -614.438f, -631.564f, 49.0088f },  // 3
    {  -201, -618.637f, -630.543f, 134.071f },  // 4
    {  -202, -618.159f, -629.847f, 80.7116f },  // 5
    {  -203, -618.637f, -630.543f, 134.071f },  // 6
    {    -2,   743.69f,  -384.75f,  21.375f },  // 7
    {    -2,    745.5f,  -384.75f,  21.375f },  // 8
    {    -2,   747.25f,  -384.75f,  21.375f },  // 9
    {    -3,  610.625f,  -272.25f, 10.8125f },  // 10
    {   -18,   27.812f, -341.875f,  23.125f },  // 11
    {   -19,   25.812f, -391.375f, 28.5625f },  // 12
};
// clang-format on
static_assert(sizeof kObjects / sizeof kObjects[0] == kObjectCount, "one row per object");
